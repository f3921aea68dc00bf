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
    std::string MachineSerial;   // bytes as they stand in the file (its code page)
    QString LoadedFileTitle;
    QString LastMsgBoxAnswer;

    kestrava::Language language() const { return profile.language(); }
};

// The main window's state record. Flags are plain booleans ("YES" is true).
struct MainFormState {
    explicit MainFormState(const kestrava::LoadedDownload& document) : document_(&document) {}

    // Read from the loaded download, their one source.
    QString LoadedFilePath() const;  // the plain file the listing reads
    QString QuotedFilePath() const;  // the chosen file in quotes, empty when none is loaded
    std::string ListingHeaderLine() const { return document_->listingHeaderLine(); }
    int RecordsSinceHeader() const { return document_->recordsSinceHeader(); }
    // The filters of the last listing run, so that the printout selects exactly the
    // records of the on-screen listing.
    const kestrava::ListingFilter& LastListingFilter() const { return document_->filter(); }

    bool ShowAllRequest = false;
    bool DateFilterOn = false;
    bool ErrorFilterOn = false;
    kestrava::Day FilterDateFrom{};
    kestrava::Day FilterDateTo{};
    std::int16_t FilterErrorNumber = 0;
    bool ListingFiltered = false;
    bool OptionResetInProgress = false;

    // Whether a file is loaded is the program's own state, not the text on screen.
    bool FileLoaded = false;

private:
    const kestrava::LoadedDownload* document_;
};
