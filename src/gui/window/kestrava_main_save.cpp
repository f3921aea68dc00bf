// Save File: a copy of the loaded file under a name the user chooses, plain under a
// name ending in "xls", scrambled under one ending in "pfd".
#include <QDir>

#include "core/text/download_file.h"
#include "core/settings/settings_file.h"
#include "core/files/system_error_text.h"
#include "gui/app/default_folder.h"
#include "gui/platform/fs_path.h"
#include "gui/window/kestrava_main.h"
#include "gui/services/user_dialogs.h"

void Kestrava_Main::Menu_SaveFile_Click()
{
    if (busy() || !session_->FileLoaded())
        return;
    const bool showTexts = shared_.language() != kestrava::Language::Other;

    const QString initialFolder = startFolderFromSettings(
        services_.settingsFolder, QString::fromLatin1(kestrava::kDefaultSaveFileName));
    QString title;
    QString filter;
    if (showTexts) {
        title = tr("Save Kestrava File");
        filter = tr("Encrypted Data (*.pfd)|*.pfd|Standard Data (*.xls)|*.xls");
    }
    int chosenType = 0;  // 0: Encrypted Data, 1: Standard Data
    const std::optional<QString> chosen = services_.dialogs->saveFileName(
        this, title, filter, initialFolder, session_->LoadedFileTitle(), &chosenType);
    if (!chosen || chosen->isEmpty())
        return;
    // Only names the Open command reads back: no extension gets the chosen type's.
    const std::optional<std::string> named =
        kestrava::saveTargetName(chosen->toStdString(), chosenType == 1);
    if (!named) {
        if (showTexts)
            services_.dialogs->message(
                this,
                tr("%1 cannot be opened again as a download file. Save accepts names ending "
                   "in .pfd (Encrypted Data) or .xls (Standard Data), or a name without an "
                   "extension, which gets the one of the chosen file type.")
                    .arg(QDir::toNativeSeparators(*chosen)),
                tr("Save Error"), MessageIcon::Critical);
        return;
    }
    const QString target = QString::fromStdString(*named);

    // Big files show a progress window; the window's other commands wait meanwhile.
    const auto saved = session_->save(
        target, showTexts ? tr("Saving %1...").arg(QDir::toNativeSeparators(target)) : QString());
    if (!saved || *saved || saved->fault().cancelled() || !showTexts)
        return;

    const kestrava::DownloadFault& fault = saved->fault();
    // The file is kept as it is when the name is taken.
    if (fault.file.fault == kestrava::FileFault::TargetExists) {
        services_.dialogs->message(this, tr("This file name already exists!"), tr("Save Error"),
                                   MessageIcon::Critical);
        return;
    }

    QString text;
    switch (fault.file.fault) {
    case kestrava::FileFault::SourceMissing:
    case kestrava::FileFault::SourceNotRegular:
    case kestrava::FileFault::SourceOpen:
    case kestrava::FileFault::SourceRead:
    case kestrava::FileFault::SourceChanged:
        text = tr("The loaded file could not be read:\n%1")
                   .arg(QDir::toNativeSeparators(session_->LoadedFilePath()));
        break;
    default:
        text =
            fault.step == kestrava::DownloadStep::SaveWorkFile
                ? tr("The work file could not be written:\n%1")
                      .arg(QDir::toNativeSeparators(session_->saveWorkFile()))
                : tr("The file could not be saved:\n%1").arg(QDir::toNativeSeparators(target));
        break;
    }
    const std::string reason = kestrava::faultReasonText(fault.file, shared_.language());
    if (!reason.empty())
        text += QStringLiteral("\n(%1)").arg(QString::fromLocal8Bit(reason.c_str()));
    services_.dialogs->message(this, text, tr("Save Error"), MessageIcon::Critical);
}
