// Files the listing cannot show: handed to a spreadsheet program, with a message that
// says why the file is no weld record file and which program (if any) has it now.

#include "gui/window/kestrava_main.h"
#include "gui/view/listing_view.h"
#include "gui/platform/spreadsheet_launcher.h"

void Kestrava_Main::handOverToSpreadsheet(kestrava::ListingOutcome outcome)
{
    const bool started = services_.spreadsheet->openInSpreadsheet(this, state_.LoadedFilePath(),
                                                                  services_.workFolder);
    const bool listingGone = outcome == kestrava::ListingOutcome::HeaderNotRecognised;
    if (shared_.language() == kestrava::Language::Other) {
        if (listingGone)
            Text1->clear();
        return;
    }
    const QString program = services_.spreadsheet->startedProgram();
    QString done;
    if (!started)
        done = tr("No spreadsheet program could be started for this file.");
    else if (program == QLatin1String("Excel"))
        done = tr("File has opened in Excel.");
    else if (program.isEmpty())
        done = tr("The file has been handed to the program the system chose for it.");
    else
        done = tr("File has opened in %1.").arg(program);
    // The window says what was done where the listing would be; a listing shown
    // before stays when the spreadsheet has the file.
    if (listingGone || !started)
        Text1->setPlainText(done);
    const QString why =
        listingGone
            ? tr("This is not a weld record file: its first line does not start with a known column name.")
            : tr("This is not a weld record file: its first record has no date in field 3 or 4.");
    showPanelMessage(why, done);
}
