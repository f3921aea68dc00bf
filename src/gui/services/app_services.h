// The platform adapters the window and its forms work through. main makes the real
// ones once (SystemServices); tests give fakes. Every window and form takes them all
// set.
#pragma once

#include <QString>

class UserDialogs;
class SpreadsheetLauncher;  // hands a file to a spreadsheet program
class DriveProvider;  // the machine's drives / mounted volumes
class PrinterProvider;  // printers and the text-printer surface
class SystemInfoLauncher;  // the system-information program

struct AppServices {
    UserDialogs* dialogs = nullptr;
    SpreadsheetLauncher* spreadsheet = nullptr;
    DriveProvider* drives = nullptr;
    PrinterProvider* printers = nullptr;
    SystemInfoLauncher* systemInfo = nullptr;
    QString workFolder = {};  // this window's work files (see WorkFolderClaim)
    QString settingsFolder = {};  // the settings files and recent files, shared by every window
};

inline bool isComplete(const AppServices& services)
{
    return services.dialogs && services.spreadsheet && services.drives && services.printers &&
           services.systemInfo;
}
