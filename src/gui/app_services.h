// The platform adapters the window works through. Tests replace them with fakes;
// a null pointer means "use the real one" and is filled in by the main window.
#pragma once

#include <QString>

class UserDialogs;

struct AppServices {
    UserDialogs* dialogs = nullptr;
    QString workFolder;  // where work files and settings files live
};
