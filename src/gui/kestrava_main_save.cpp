// Save File: a copy of the loaded file under a name the user chooses, plain under a
// name ending in "xls", scrambled under any other.
#include <QApplication>
#include <QDir>
#include <QProgressDialog>

#include "core/download_file.h"
#include "core/save_copy.h"
#include "core/settings_file.h"
#include "gui/default_folder.h"
#include "gui/kestrava_main.h"
#include "gui/native_path.h"
#include "gui/user_dialogs.h"
#include "gui/work_folder.h"

namespace {

constexpr const char* kScrambledWorkFile = "temp_only.tmp";
constexpr std::uint64_t kProgressSteps = 1000;

}  // namespace

void Kestrava_Main::Menu_SaveFile_Click()
{
    if (state_.LoadedFilePath.isEmpty())
        return;
    const kestrava::Language language = shared_.language();
    const bool showTexts = language != kestrava::Language::Other;

    const QString initialFolder = startFolderFromSettings(
        services_.workFolder, QString::fromLatin1(kestrava::kDefaultSaveFileName));
    QString title;
    QString filter;
    if (showTexts) {
        title = tr("Save Kestrava File");
        filter = tr("Encrypted Data (*.pfd)|*.pfd|Standard Data (*.xls)|*.xls");
    }
    const std::optional<QString> chosen = services_.dialogs->saveFileName(
        this, title, filter, initialFolder, shared_.LoadedFileTitle);
    if (!chosen || chosen->isEmpty())
        return;
    const QString target = *chosen;

    const kestrava::SaveForm form = kestrava::isStandardDataName(target.toStdString())
                                        ? kestrava::SaveForm::Plain
                                        : kestrava::SaveForm::Scrambled;
    const QString workFile =
        workFilePath(services_.workFolder, QString::fromLatin1(kScrambledWorkFile));

    // Big files show a progress window after a moment; until then the user's input
    // waits, so that no other command works on the files meanwhile.
    QProgressDialog progressWindow(this);
    progressWindow.setWindowModality(Qt::WindowModal);
    progressWindow.setMinimumDuration(800);
    progressWindow.setRange(0, static_cast<int>(kProgressSteps));
    progressWindow.setAutoReset(false);
    progressWindow.setAutoClose(false);
    if (showTexts) {
        progressWindow.setWindowTitle(title);
        progressWindow.setLabelText(QDir::toNativeSeparators(target));
        progressWindow.setCancelButtonText(tr("Cancel"));
    }
    const kestrava::Progress progress = [&progressWindow](std::uint64_t done,
                                                          std::uint64_t total) {
        const std::uint64_t step = total == 0 ? 0 : done * kProgressSteps / total;
        progressWindow.setValue(static_cast<int>(std::min(step, kProgressSteps)));
        QCoreApplication::processEvents(progressWindow.isVisible()
                                            ? QEventLoop::AllEvents
                                            : QEventLoop::ExcludeUserInputEvents);
        return !progressWindow.wasCanceled();
    };

    const kestrava::SaveCopyResult result =
        kestrava::saveCopy(nativePath(state_.LoadedFilePath), nativePath(target), form,
                           nativePath(workFile), progress);
    // reset() also stops the timer that would show the window after the delay.
    progressWindow.reset();
    progressWindow.hide();
    if (result.ok() || result.file.fault == kestrava::FileFault::Cancelled || !showTexts)
        return;

    // The file is kept as it is when the name is taken.
    if (result.file.fault == kestrava::FileFault::TargetExists) {
        services_.dialogs->message(this, tr("This file name already exists!"), tr("Save Error"),
                                   MessageIcon::Critical);
        return;
    }

    QString text;
    switch (result.file.fault) {
    case kestrava::FileFault::SourceMissing:
    case kestrava::FileFault::SourceNotRegular:
    case kestrava::FileFault::SourceOpen:
    case kestrava::FileFault::SourceRead:
        text = tr("The loaded file could not be read:\n%1")
                   .arg(QDir::toNativeSeparators(state_.LoadedFilePath));
        break;
    default:
        text = result.stage == kestrava::SaveStage::WorkFile
                   ? tr("The work file could not be written:\n%1")
                         .arg(QDir::toNativeSeparators(workFile))
                   : tr("The file could not be saved:\n%1").arg(QDir::toNativeSeparators(target));
        break;
    }
    if (!result.file.detail.empty())
        text += QStringLiteral("\n(%1)").arg(QString::fromLocal8Bit(result.file.detail.c_str()));
    services_.dialogs->message(this, text, tr("Save Error"), MessageIcon::Critical);
}
