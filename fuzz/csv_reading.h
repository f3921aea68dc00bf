// A strict RFC 4180 reader for the fuzz targets: fields separated by commas, rows ended
// by CR LF, a quoted field's quotes doubled, and nothing else. Returns false on any text
// that breaks the form.
#pragma once

#include <string>
#include <string_view>
#include <vector>

inline bool readCsv(std::string_view text, std::vector<std::vector<std::string>>& rows)
{
    rows.clear();
    std::size_t at = 0;
    while (at < text.size()) {
        std::vector<std::string> row;
        for (;;) {
            std::string field;
            if (at < text.size() && text[at] == '"') {
                for (++at;; ++at) {
                    if (at >= text.size())
                        return false;  // a quote never closed
                    if (text[at] == '"') {
                        if (at + 1 < text.size() && text[at + 1] == '"') {
                            field += '"';
                            ++at;
                            continue;
                        }
                        ++at;
                        break;
                    }
                    field += text[at];
                }
            } else {
                while (at < text.size() && text[at] != ',' && text[at] != '\r') {
                    if (text[at] == '"' || text[at] == '\n')
                        return false;  // unquoted, a quote or line feed breaks the form
                    field += text[at++];
                }
            }
            row.push_back(std::move(field));
            if (at < text.size() && text[at] == ',') {
                ++at;
                continue;
            }
            if (text.substr(at, 2) != "\r\n")
                return false;
            at += 2;
            break;
        }
        rows.push_back(std::move(row));
    }
    return true;
}

// No field a spreadsheet program would take as a formula.
inline bool startsFormula(const std::string& field)
{
    return !field.empty() && std::string_view("=+-@\t\r").find(field.front()) != std::string_view::npos;
}
