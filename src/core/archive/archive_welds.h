// The welds of an archive query as weld protocols and a handover report take them:
// each weld under the header line of the download it was first seen in, with that
// download's name. The archive is read again for every pass, page by page through
// its query, so memory does not grow with the number of welds.
#pragma once

#include <cstdint>
#include <optional>

#include "core/archive/weld_archive.h"
#include "core/protocol/weld_source.h"

namespace kestrava {

class ArchiveWelds final : public WeldSource {
public:
    // archive must stay open while this is used; archivePath names it in faults.
    ArchiveWelds(WeldArchive& archive, ArchiveQuery query, std::string archivePath);

    // The welds in the order imported. progress gets the welds given against the
    // number selected; a fault of the archive is FileFault::SourceRead on its path,
    // with the archive's words as the detail.
    FileResult forEachWeld(const std::function<bool(const WeldRecord&)>& weld,
                           const Progress& progress = {}) const override;

private:
    WeldArchive& archive_;
    ArchiveQuery query_;
    std::string archivePath_;
    mutable std::optional<std::uint64_t> selected_;  // counted on the first pass
};

}  // namespace kestrava
