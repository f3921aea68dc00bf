// Sample download files for the engine and command-line tests: an ORV header and its
// records, fields split by tabs, every line ended by CR LF.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace sample {

// The header of the ORV samples (field 3 the date, 2 the serial, 5 the error).
inline const std::string kOrvHeader = "Weld\tSerial\tDate\tTime\tError";

// One ORV record line without its line end; the time is always "10:00".
inline std::string orvRecord(const std::string& weld, const std::string& serial,
                             const std::string& date, const std::string& error)
{
    return weld + "\t" + serial + "\t" + date + "\t10:00\t" + error;
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

}  // namespace sample
