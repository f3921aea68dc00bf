#include "core/document/save_copy.h"

#include <system_error>

#include "core/files/file_copy.h"
#include "core/text/scrambling.h"

namespace kestrava {

namespace {

bool existsAsEntry(const std::filesystem::path& path)
{
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

FileResult targetExists(const std::filesystem::path& target)
{
    FileResult result;
    result.fault = FileFault::TargetExists;
    result.path = target.string();
    return result;
}

// Progress of one step mapped onto the whole save: step `index` of `steps`.
Progress stepProgress(const Progress& progress, int index, int steps)
{
    if (!progress)
        return {};
    return [progress, index, steps](std::uint64_t done, std::uint64_t total) {
        return progress(total * static_cast<std::uint64_t>(index) + done,
                        total * static_cast<std::uint64_t>(steps));
    };
}

}  // namespace

FileResult copyFile(const std::filesystem::path& source, const std::filesystem::path& target,
                    bool replaceExisting, const Progress& progress)
{
    return fileio::copyThrough(source, target, replaceExisting, progress,
                               [](std::uint8_t*, std::size_t size, bool) { return size; });
}

SaveCopyResult saveCopy(const std::filesystem::path& plainSource,
                        const std::filesystem::path& target, SaveForm form,
                        const std::filesystem::path& workFile, const Progress& progress)
{
    SaveCopyResult result;
    // Checked before any work, so that an existing file costs nothing; the writers
    // check again when they put the file in place.
    if (existsAsEntry(target)) {
        result.file = targetExists(target);
        result.stage = SaveStage::Target;
        return result;
    }

    if (form == SaveForm::Plain) {
        result.file = copyFile(plainSource, target, false, progress);
        result.stage = result.ok() ? SaveStage::None : SaveStage::Target;
        return result;
    }

    // The work file would replace a source that is the work file itself: scramble
    // straight into the target instead, so that the source stays as it is.
    if (sameFile(plainSource, workFile)) {
        result.file = scrambleFile(ScrambleDirection::Encode, plainSource, target, false, progress);
        result.stage = result.ok() ? SaveStage::None : SaveStage::Target;
        return result;
    }

    result.file = scrambleFile(ScrambleDirection::Encode, plainSource, workFile, true,
                               stepProgress(progress, 0, 2));
    if (!result.ok()) {
        result.stage = SaveStage::WorkFile;
        return result;
    }
    result.file = copyFile(workFile, target, false, stepProgress(progress, 1, 2));
    result.stage = result.ok() ? SaveStage::None : SaveStage::Target;
    return result;
}

}  // namespace kestrava
