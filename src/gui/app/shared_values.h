// The program-wide values shared by every form, and the main window's own state record.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <string>

#include "core/settings/build_profile.h"
#include "core/document/loaded_download.h"
#include "core/listing/listing.h"
#include "core/listing/machine_family.h"
#include "core/settings/regional.h"

// One copy for the whole program, owned by the main window and read by the other forms.
struct SharedValues {
    kestrava::BuildProfile profile;  // BrandKey, UiLanguage: fixed at start-up
    kestrava::MachineFamily MachineFamily = kestrava::MachineFamily::Unknown;
    std::optional<kestrava::ErrorCodeTable> ErrorCodeTable;  // empty before any listing run
    std::string MachineSerial;  // bytes as they stand in the file (its code page)
    QString LoadedFileTitle;

    kestrava::Language language() const { return profile.language(); }
};

// The main window's state record. Flags are plain booleans ("YES" is true).
struct MainFormState {
    explicit MainFormState(const kestrava::LoadedDownload& document) : document_(&document) { }

    // Read from the loaded download, their one source.
    QString LoadedFilePath() const;  // the plain file the listing reads
    QString ChosenFilePath() const;  // the file the user chose, empty when none is loaded

    bool DateFilterOn = false;
    bool ErrorFilterOn = false;
    kestrava::Day FilterDateFrom{};
    kestrava::Day FilterDateTo{};
    std::int16_t FilterErrorNumber = 0;
    bool OptionResetInProgress = false;

    // Whether a file is loaded is the program's own state, not the text on screen.
    bool FileLoaded = false;

private:
    const kestrava::LoadedDownload* document_;
};
