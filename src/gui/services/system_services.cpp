#include "gui/services/system_services.h"

AppServices SystemServices::complete(AppServices partial)
{
    if (!partial.dialogs)
        partial.dialogs = &dialogs_;
    if (!partial.spreadsheet)
        partial.spreadsheet = &spreadsheet_;
    if (!partial.drives)
        partial.drives = &drives_;
    if (!partial.printers)
        partial.printers = &printers_;
    if (!partial.systemInfo)
        partial.systemInfo = &systemInfo_;
    return partial;
}
