// Saving a copy of the loaded download file under the name the user chose.
#pragma once

#include <filesystem>

#include "core/files/file_result.h"

namespace kestrava {

enum class SaveForm {
    Plain,  // byte for byte ("Standard Data")
    Scrambled,  // scrambled with the key ("Encrypted Data")
};

// Where a save failed.
enum class SaveStage {
    None,
    WorkFile,  // making the scrambled work file (reading the source included)
    Target,  // writing the chosen file (reading the source included for a plain copy)
};

struct SaveCopyResult {
    FileResult file;
    SaveStage stage = SaveStage::None;

    bool ok() const { return file.ok(); }
};

// Copies source to target byte for byte through a temporary file beside the target,
// renamed into place when complete. An existing target is replaced only when
// replaceExisting is true (otherwise TargetExists).
FileResult copyFile(const std::filesystem::path& source, const std::filesystem::path& target,
                    bool replaceExisting, const Progress& progress = {});

// Writes plainSource to target in the given form. A scrambled copy is first made in
// workFile (replaced), then copied to target. An existing target is never replaced
// (TargetExists, the target untouched); a failed save leaves no target behind; the
// source is only read. Progress counts both steps of a scrambled save.
SaveCopyResult saveCopy(const std::filesystem::path& plainSource,
                        const std::filesystem::path& target, SaveForm form,
                        const std::filesystem::path& workFile, const Progress& progress = {});

}  // namespace kestrava
