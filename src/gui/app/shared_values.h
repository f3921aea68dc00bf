// The program-wide values fixed at start-up, shared by every form and owned by the main
// window. The loaded download's state is the window's DownloadSession's, read through it.
#pragma once

#include "core/settings/build_profile.h"

// One copy for the whole program, owned by the main window and read by the other forms.
struct SharedValues {
    kestrava::BuildProfile profile;  // BrandKey, UiLanguage: fixed at start-up

    kestrava::Language language() const { return profile.language(); }
};
