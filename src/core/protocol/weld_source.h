// The welds a weld protocol or a handover report is made of, whichever place they
// come from: a loaded download file (read again for every pass over its welds, so
// that memory does not grow with their number) or, later, the weld archive.
//
// Each weld arrives with what its protocol needs: the header line of its download
// (the column names), its record line, its machine family and the download it came
// from. The views are valid during the call only.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/files/file_result.h"
#include "core/listing/machine_family.h"
#include "core/listing/record_filter.h"

namespace kestrava {

struct WeldRecord {
    std::string_view header;  // the download's header line: column names split by tabs
    std::string_view record;  // the weld's record line
    MachineFamily family = MachineFamily::Unknown;
    std::string_view download;  // the download it came from, as the user knows it (UTF-8)
    std::uint64_t number = 0;  // 1-based place of the weld in the selection
};

class WeldSource {
public:
    virtual ~WeldSource() = default;
    // Calls weld with every selected weld in order while it returns true. progress is
    // called as the source is read (false stops: fault Cancelled). A weld callback
    // that stops the pass is no fault.
    virtual FileResult forEachWeld(const std::function<bool(const WeldRecord&)>& weld,
                                   const Progress& progress = {}) const = 0;
};

// Listing lines (1-based, as the listing is written: line 1 the header, a record on
// each line after it, an empty line and the header again after every 40 records)
// mapped to the records they show: the 0-based places, among the listed records, of
// the first and the last record within lines [first, last]. nullopt when those lines
// hold no record.
struct RecordRange {
    std::uint64_t first = 0;
    std::uint64_t last = 0;
};
std::optional<RecordRange> recordsOfListingLines(std::uint64_t firstLine, std::uint64_t lastLine);

// The welds of one download file as its listing shows them: the records the listing's
// filter keeps, optionally only those on some of the listing's lines. A scrambled file
// is decoded on the way; nothing is written.
class DownloadWelds final : public WeldSource {
public:
    DownloadWelds(std::filesystem::path file, bool scrambled, ListingFilter filter,
                  std::string downloadName);
    // Only the records shown on listing lines [first, last] (1-based, inclusive).
    void setListingLines(std::uint64_t first, std::uint64_t last);

    FileResult forEachWeld(const std::function<bool(const WeldRecord&)>& weld,
                           const Progress& progress = {}) const override;

private:
    std::filesystem::path file_;
    bool scrambled_ = false;
    ListingFilter filter_;
    std::string downloadName_;
    bool someLines_ = false;
    std::optional<RecordRange> records_;
};

}  // namespace kestrava
