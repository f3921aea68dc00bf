// The tally of the records a listing run lists: the error-code row each one names, the
// serial of the last one, how many there are, and when the header comes again. Every
// way a record is listed (formatted here or on a worker thread, a long one piece by
// piece, or only counted) goes through RecordTally::add.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>

#include "core/listing/machine_family.h"

namespace kestrava {

// The header is repeated, after an empty line, after every this many records.
constexpr int kRecordsPerHeader = 40;

// The error-code row an error field's text names, for one machine family: only "0" and
// numbers without a leading zero below 128 name a row.
class ErrorRows {
public:
    void setFamily(MachineFamily family)
    {
        for (std::size_t number = 0; number < rows_.size(); ++number) {
            const auto row = errorCodeRow(family, std::to_string(number));
            rows_[number] = std::int8_t(row ? *row : -1);
        }
    }

    // The row, -1 for none.
    int rowOf(const char* text, std::size_t length) const
    {
        if (length == 0 || length > 3 || (text[0] == '0' && length > 1))
            return -1;
        unsigned number = 0;
        for (std::size_t i = 0; i < length; ++i) {
            const auto digit = unsigned(static_cast<unsigned char>(text[i])) - unsigned('0');
            if (digit > 9)
                return -1;
            number = number * 10 + digit;
        }
        return number < rows_.size() ? rows_[number] : -1;
    }

private:
    std::array<std::int8_t, 128> rows_{};
};

// The fields of a record the tally reads, and what they name.
struct RecordRoles {
    std::size_t errorField = 0;  // 1-based
    std::size_t serialField = 0;
    const ErrorRows* errorRows = nullptr;

    RecordRoles(MachineFamily family, const ErrorRows& rows)
        : errorField(std::size_t(errorFieldOf(family))),
          serialField(std::size_t(serialFieldOf(family))), errorRows(&rows)
    { }
};

// What one record's fields named: its error row (-1 none) and its serial field (a null
// view when the record has none).
struct RecordFields {
    int errorRow = -1;
    std::string_view serial;

    // Field k of the record, from..to.
    void see(const RecordRoles& roles, std::size_t k, const char* from, std::size_t length)
    {
        if (k == roles.serialField)
            serial = {from, length};
        else if (k == roles.errorField)
            errorRow = roles.errorRows->rowOf(from, length);
    }
};

struct RecordTally {
    std::array<std::int64_t, std::tuple_size_v<ErrorCodeTable>> counts{};
    std::uint64_t records = 0;
    std::string_view serial;  // of the last record that had one; null view for none
    int sinceHeader = 0;  // records since the header was last written

    // Counts one listed record. True when the header is to be written again after it.
    bool add(const RecordFields& fields)
    {
        if (fields.errorRow >= 0)
            ++counts[std::size_t(fields.errorRow)];
        if (fields.serial.data())
            serial = fields.serial;
        ++records;
        if (++sinceHeader == kRecordsPerHeader) {
            sinceHeader = 0;
            return true;
        }
        return false;
    }

    // Adds the counts, the records and the serial to a summary's and starts them
    // again; sinceHeader goes on.
    void moveInto(ErrorCodeTable& errorCodes, std::uint64_t& summaryRecords,
                  std::string& summarySerial)
    {
        for (std::size_t row = 0; row < counts.size(); ++row)
            errorCodes[row].count += counts[row];
        summaryRecords += records;
        if (serial.data())
            summarySerial.assign(serial.data(), serial.size());
        counts.fill(0);
        records = 0;
        serial = {};
    }
};

}  // namespace kestrava
