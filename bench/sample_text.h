// Generated download-file text for the benchmarks: an ORV header and records of
// realistic width (about 90 bytes), CR LF line ends.
#pragma once

#include <string>

inline std::string sampleDownloadText(std::size_t records)
{
    static const char* const errors[] = {"0", "0", "0", "20", "0", "27", "0", "127"};
    std::string text =
        "Weld No\tSerial No\tDate\tTime\tError\tFitting\tDiameter\tVoltage\tFusion s\tOperator\r\n";
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
