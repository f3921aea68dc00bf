// Files the listing cannot show: handed to a spreadsheet program. The file handed over
// is the loaded file: the listing area and the message say the same, why the file is
// no weld record file and which program (if any) has it now.
#include "gui/window/kestrava_main.h"
#include "gui/app/file_reasons.h"
#include "gui/view/listing_view.h"
#include "gui/platform/spreadsheet_launcher.h"

void Kestrava_Main::handOverToSpreadsheet(const kestrava::ListingSummary& summary)
{
    if (closing_)
        return;
    const bool started = services_.spreadsheet->openInSpreadsheet(this, session_->LoadedFilePath(),
                                                                  services_.settingsFolder);
    if (shared_.language() == kestrava::Language::Other) {
        Text1->clear();  // no texts in this build: the listing area is left empty
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

    NotListedWhy why = NotListedWhy::NoDateField;
    if (summary.outcome == kestrava::ListingOutcome::HeaderNotRecognised)
        why = summary.headerLine.empty() ? NotListedWhy::Empty : NotListedWhy::UnknownHeader;
    const QString reason = notListedSentence(why);
    Text1->setPlainText(reason + QStringLiteral("\n\n") + done);
    showPanelMessage(reason, done);
}
