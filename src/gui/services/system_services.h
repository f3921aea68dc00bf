// The real platform adapters, made once by main for the program's run and handed to
// every window and form through AppServices.
#pragma once

#include "gui/platform/drive_provider.h"
#include "gui/platform/printer_provider.h"
#include "gui/platform/spreadsheet_launcher.h"
#include "gui/platform/system_info.h"
#include "gui/services/app_services.h"
#include "gui/services/user_dialogs.h"

class SystemServices {
public:
    // partial with every adapter it leaves null set to the real one (the work folder as
    // given): main passes none, a test passes the fakes it scripts.
    AppServices complete(AppServices partial);

private:
    QtUserDialogs dialogs_;
    SystemSpreadsheetLauncher spreadsheet_;
    SystemDriveProvider drives_;
    QtPrinterProvider printers_;
    DesktopSystemInfoLauncher systemInfo_;
};
