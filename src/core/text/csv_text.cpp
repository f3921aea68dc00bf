#include "core/text/csv_text.h"

namespace kestrava {

namespace {

bool startsFormula(std::string_view cell)
{
    if (cell.empty())
        return false;
    switch (cell.front()) {
    case '=':
    case '+':
    case '-':
    case '@':
    case '\t':
    case '\r': return true;
    default: return false;
    }
}

bool isReplaced(unsigned char c)
{
    return c < 0x20 && c != '\t' && c != '\r' && c != '\n';
}

}  // namespace

std::string csvField(std::string_view cell, CsvText text)
{
    bool quoted = false;
    for (const char c : cell)
        quoted = quoted || c == ',' || c == '"' || c == '\r' || c == '\n';
    std::string field;
    field.reserve(cell.size() + 3);
    if (quoted)
        field += '"';
    if (startsFormula(cell))
        field += '\'';
    for (const char c : cell) {
        if (isReplaced(static_cast<unsigned char>(c)))
            field += text == CsvText::Utf8 ? "\xEF\xBF\xBD" : "?";
        else if (c == '"')
            field += "\"\"";
        else
            field += c;
    }
    if (quoted)
        field += '"';
    return field;
}

void appendCsvRow(std::string& out, const std::vector<std::string>& cells, CsvText text)
{
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0)
            out += ',';
        out += csvField(cells[i], text);
    }
    out += "\r\n";
}

}  // namespace kestrava
