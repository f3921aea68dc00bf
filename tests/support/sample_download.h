// Sample download files for the engine, command-line and window tests and the benches:
// headers and records of both families, fields split by tabs, every line ended by CR LF,
// and the scrambled form of a text.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/text/scrambling.h"

namespace sample {

// The header of the ORV samples (field 3 the date, 2 the serial, 5 the error).
inline const std::string kOrvHeader = "Weld\tSerial\tDate\tTime\tError";
// The header of the 5TZ samples (field 3 the serial, 4 the date, 19 the error).
inline const std::string kFiveTzHeader = "Weld\tOperator\tSerial\tDate";

// One ORV record line without its line end; the time is always "10:00".
inline std::string orvRecord(const std::string& weld, const std::string& serial,
                             const std::string& date, const std::string& error)
{
    return weld + "\t" + serial + "\t" + date + "\t10:00\t" + error;
}

// One 5TZ record line without its line end: the operator "Anna", fields 5 to 18 "x".
inline std::string fiveTzRecord(const std::string& weld, const std::string& serial,
                                const std::string& date, const std::string& error)
{
    std::string line = weld + "\tAnna\t" + serial + "\t" + date;
    for (int field = 5; field < 19; ++field)
        line += "\tx";
    return line + "\t" + error;
}

using OrvRow = std::array<std::string, 4>;  // weld, serial, date, error

// A whole ORV download of these records.
inline std::string orvDownload(const std::vector<OrvRow>& rows)
{
    std::string text = kOrvHeader + "\r\n";
    for (const OrvRow& r : rows)
        text += orvRecord(r[0], r[1], r[2], r[3]) + "\r\n";
    return text;
}

// The scrambled form of a plain text.
inline std::string scrambled(const std::string& plain)
{
    const auto bytes =
        kestrava::encodeBytes({reinterpret_cast<const std::uint8_t*>(plain.data()), plain.size()});
    return std::string(bytes.begin(), bytes.end());
}

// The header of the wide samples: the ORV fields and five more, as a real machine writes.
inline const std::string kWideHeader =
    "Weld No\tSerial No\tDate\tTime\tError\tFitting\tDiameter\tVoltage\tFusion s\tOperator";

// A download of records of realistic width (about 90 bytes) of one machine, for the
// benches: days cycling through 2009, three errors in eight not 0.
inline std::string wideDownload(std::size_t records)
{
    static const char* const errors[] = {"0", "0", "0", "20", "0", "27", "0", "127"};
    std::string text = kWideHeader + "\r\n";
    text.reserve(records * 96);
    for (std::size_t i = 0; i < records; ++i) {
        const unsigned day = 1 + unsigned(i % 28);
        const unsigned month = 1 + unsigned(i / 28 % 12);
        text += std::to_string(100000 + i);
        text += "\tORV-20417\t";
        text += char('0' + day / 10);
        text += char('0' + day % 10);
        text += '/';
        text += char('0' + month / 10);
        text += char('0' + month % 10);
        text += "/2009\t10:";
        text += char('0' + i % 6);
        text += "5\t";
        text += errors[i % 8];
        text += "\tElectrofusion coupler\t110\t39.5\t";
        text += std::to_string(60 + i % 240);
        text += "\tOperator ";
        text += char('A' + i % 26);
        text += "\r\n";
    }
    return text;
}

}  // namespace sample
