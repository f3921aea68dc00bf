#include "core/archive/archive_xlsx.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/files/file_copy.h"
#include "core/files/file_io.h"
#include "core/files/path_text.h"
#include "core/listing/record_filter.h"
#include "core/text/code_page_text.h"

namespace kestrava {

namespace {

constexpr lxw_row_t kMostRows = 1048576;  // rows of a sheet, the header row among them
constexpr std::size_t kMostCellBytes =
    32767;  // Excel keeps no longer text in a cell (counted in UTF-8 bytes here: never more characters)

std::vector<std::string_view> fieldsOf(std::string_view line)
{
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos
                                                                          : tab - start));
        if (tab == std::string_view::npos)
            return fields;
        start = tab + 1;
    }
}

double numberOf(std::string_view field)
{
    if (field.front() == '+')
        field.remove_prefix(1);
    double value = 0;
    std::from_chars(field.data(), field.data() + field.size(),
                    value);  // never the locale's decimal mark
    return value;
}

// Text cut to what a cell holds, on a character's boundary.
std::string cellText(std::string_view bytes, Language language)
{
    std::string text = utf8FromCodePage(bytes, language);
    if (text.size() > kMostCellBytes) {
        std::size_t end = kMostCellBytes;
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            --end;
        text.resize(end);
    }
    return text;
}

// A name in the temporary folder for the workbook being made.
std::filesystem::path temporaryWorkbook()
{
    std::error_code error;
    std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error)
        folder = ".";
    std::random_device random;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    return folder /
           ("kestrava-" + std::to_string(random()) + "-" + std::to_string(stamp) + ".xlsx");
}

class Workbook {
public:
    Workbook(const std::filesystem::path& path, Language language) : language_(language)
    {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;  // each row goes to disk when the next begins
        options.use_zip64 = LXW_TRUE;
        path_ = path.string();
        book_ = workbook_new_opt(path_.c_str(), &options);
        if (book_) {
            heading_ = workbook_add_format(book_);
            format_set_bold(heading_);
            date_ = workbook_add_format(book_);
            format_set_num_format(date_, "dd/mm/yyyy");
        }
    }
    ~Workbook()
    {
        if (book_)
            workbook_close(book_);
    }
    bool made() const { return book_ != nullptr && !failed_; }

    void startSheet(std::string_view header, MachineFamily family)
    {
        finishSheet();
        header_ = header;
        family_ = family;
        sheet_ = workbook_add_worksheet(book_, ("Welds " + std::to_string(++sheets_)).c_str());
        if (!sheet_) {
            failed_ = true;
            return;
        }
        row_ = 0;
        columns_ = 0;
        writeRow(fieldsOf(header), true, std::nullopt);
    }

    void weld(std::string_view line)
    {
        if (row_ == kMostRows)
            startSheet(std::string(header_), family_);
        if (failed_)
            return;
        std::optional<double> date;
        if (const auto day = recordDay(line, family_))
            date = double(day->time_since_epoch().count()) +
                   25569.0;  // Excel's day 25569: 1 January 1970
        writeRow(fieldsOf(line), false, date);
    }

    // Closes the workbook; false when it could not be made whole.
    bool close()
    {
        finishSheet();
        const lxw_error closed = workbook_close(book_);
        book_ = nullptr;
        return closed == LXW_NO_ERROR && !failed_;
    }

private:
    // date: the record's date, written in its column as a date.
    void writeRow(const std::vector<std::string_view>& fields, bool heading,
                  std::optional<double> date)
    {
        const std::size_t dateColumn = std::size_t(dateFieldOf(family_) - 1);
        for (std::size_t c = 0; c < fields.size() && c < LXW_COL_MAX; ++c) {
            const std::string_view field = fields[c];
            if (date && c == dateColumn)
                check(worksheet_write_number(sheet_, row_, lxw_col_t(c), *date, date_));
            else if (field.empty())
                continue;
            else if (!heading && isPlainNumber(field))
                check(worksheet_write_number(sheet_, row_, lxw_col_t(c), numberOf(field), nullptr));
            else
                check(worksheet_write_string(sheet_, row_, lxw_col_t(c),
                                             cellText(field, language_).c_str(),
                                             heading ? heading_ : nullptr));
        }
        columns_ = std::max(columns_, fields.size());
        ++row_;
    }

    void finishSheet()
    {
        if (!sheet_)
            return;
        const lxw_col_t last =
            lxw_col_t(std::min<std::size_t>(std::max<std::size_t>(columns_, 1), LXW_COL_MAX) - 1);
        check(worksheet_autofilter(sheet_, 0, 0, row_ - 1, last));
        worksheet_freeze_panes(sheet_, 1, 0);
        sheet_ = nullptr;
    }

    void check(lxw_error error)
    {
        if (error != LXW_NO_ERROR)
            failed_ = true;
    }

    std::string path_;
    Language language_;
    lxw_workbook* book_ = nullptr;
    lxw_format* heading_ = nullptr;
    lxw_format* date_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    std::string header_;
    MachineFamily family_ = MachineFamily::Unknown;
    lxw_row_t row_ = 0;
    std::size_t columns_ = 0;
    int sheets_ = 0;
    bool failed_ = false;
};

}  // namespace

bool isPlainNumber(std::string_view field)
{
    std::size_t i = field.empty() || (field[0] != '-' && field[0] != '+') ? 0 : 1;
    const std::size_t firstDigit = i;
    std::size_t digits = 0;
    while (i < field.size() && field[i] >= '0' && field[i] <= '9')
        ++i, ++digits;
    if (digits == 0 || (digits > 1 && field[firstDigit] == '0'))
        return false;
    if (i < field.size() && field[i] == '.') {
        const std::size_t point = ++i;
        while (i < field.size() && field[i] >= '0' && field[i] <= '9')
            ++i, ++digits;
        if (i == point)
            return false;
    }
    return i == field.size() && digits <= 15;
}

XlsxResult writeArchiveXlsx(WeldArchive& archive, const ArchiveQuery& query,
                            const std::filesystem::path& target, bool replaceExisting,
                            Language language, const std::function<bool()>& going)
{
    XlsxResult result;
    // A name not to be replaced is refused before the work.
    fileio::PathStatus status;
    if (!replaceExisting && fileio::pathStatus(target, status).ok() &&
        status.kind != fileio::EntryKind::Missing) {
        result.file.fault = FileFault::TargetExists;
        result.file.path = utf8Text(target);
        return result;
    }

    const std::filesystem::path temporary = temporaryWorkbook();
    bool cancelled = false;
    bool made = false;
    {
        Workbook book(temporary, language);
        if (book.made()) {
            std::uint64_t rows = 0;
            result.archive = archive.forEachGroup(
                query,
                [&](std::string_view header, MachineFamily family) {
                    book.startSheet(header, family);
                    return book.made();
                },
                [&](std::string_view line) {
                    book.weld(line);
                    if (++rows % 4096 == 0 && going && !going()) {
                        cancelled = true;
                        return false;
                    }
                    return book.made();
                });
            made = book.close();
        }
    }
    if (result.archive.ok() && !cancelled && made) {
        result.file =
            fileio::copyThrough(temporary, target, replaceExisting, {},
                                [](std::uint8_t*, std::size_t size, bool) { return size; });
    } else if (cancelled) {
        result.file.fault = FileFault::Cancelled;
    } else if (result.archive.ok()) {
        result.file.fault = FileFault::TargetWrite;
        result.file.path = utf8Text(temporary);
        result.file.detail = "the workbook could not be made";
    }
    fileio::removeFile(temporary);
    return result;
}

}  // namespace kestrava
