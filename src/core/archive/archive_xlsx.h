// The welds of an archive query as an Excel workbook (xlsx, through libxlsxwriter):
// the rows of the CSV, a sheet per header line (and a further sheet when one is full),
// each sheet with its header row frozen and an autofilter over it. The weld's date is
// a date cell, a field that is a plain decimal number a number cell, the rest text
// (the files' code page turned into Unicode).
//
// The workbook is made in the temporary folder, then written beside the target and put
// in its place whole, as every file this program writes.
#pragma once

#include <filesystem>
#include <functional>

#include "core/archive/weld_archive.h"
#include "core/files/file_result.h"

namespace kestrava {

struct XlsxResult {
    ArchiveError archive;  // reading the archive failed
    FileResult file;  // writing the workbook failed (TargetExists, a full disk, ...)
    bool ok() const { return archive.ok() && file.ok(); }
};

// A field written as a number: a sign, digits without a leading zero (but "0"), at
// most one "." with digits after it, 15 digits at most (a double holds them exactly).
bool isPlainNumber(std::string_view field);

// going is asked now and then; false abandons the workbook (FileFault::Cancelled).
XlsxResult writeArchiveXlsx(WeldArchive& archive, const ArchiveQuery& query,
                            const std::filesystem::path& target, bool replaceExisting,
                            Language language, const std::function<bool()>& going = {});

}  // namespace kestrava
