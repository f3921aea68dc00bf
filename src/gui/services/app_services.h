// The platform adapters the window works through. Tests replace them with fakes;
// a null pointer means "use the real one", created by the window or form that needs it.
#pragma once

#include <QString>

class UserDialogs;
class SpreadsheetLauncher;  // hands a file to a spreadsheet program
class DriveProvider;        // the machine's drives / mounted volumes
class PrinterProvider;      // printers and the text-printer surface
class SystemInfoLauncher;   // the system-information program

struct AppServices {
    UserDialogs* dialogs = nullptr;
    SpreadsheetLauncher* spreadsheet = nullptr;
    DriveProvider* drives = nullptr;
    PrinterProvider* printers = nullptr;
    SystemInfoLauncher* systemInfo = nullptr;
    QString workFolder;  // where work files and settings files live
};
