// One main window for a test: a fresh work folder, a folder for download files,
// scripted dialogs, a recording printer and a fake spreadsheet program.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "core/settings/build_profile.h"
#include "gui/window/kestrava_main.h"
#include "gui/view/listing_view.h"
#include "support/fake_printer_provider.h"
#include "support/fake_spreadsheet.h"
#include "support/scripted_dialogs.h"
#include "support/test_services.h"

struct WindowFixture {
    // Installs the translations of the profile's language, then builds the window.
    // workFolder: where work files and settings files go (default: a fresh temporary
    // folder); printerProvider: the printers (default: the recording one).
    explicit WindowFixture(const kestrava::BuildProfile& profile, const QString& workFolder = {},
                           PrinterProvider* printerProvider = nullptr);

    // Writes a download file into the files folder and returns its native path.
    QString writeFile(const QString& name, const QByteArray& bytes) const
    {
        QFile file(files.filePath(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
        return QDir::toNativeSeparators(files.filePath(name));
    }
    QString workFile(const QString& name) const
    {
        return QDir::toNativeSeparators(work.filePath(name));
    }
    // Writes bytes as name and opens that file as the command line would.
    QString loadFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = writeFile(name, bytes);
        window->openPath(path);
        return path;
    }
    // Chooses path in the Open dialog of the menu's Open File.
    void openThroughMenu(const QString& path)
    {
        dialogs.openAnswers.push_back(path);
        window->Menu_OpenFile->trigger();
    }
    QString text() const { return window->Text1->toPlainText(); }
    qsizetype lineCount() const
    {
        return text().split(QLatin1Char('\n'), Qt::SkipEmptyParts).size();
    }
    // Chooses option 1 (dates, first to second) or 2 (error number first) of the filter
    // panel and presses its button.
    void filter(int option, const char* first, const char* second = "");

    QTemporaryDir work;
    QTemporaryDir files;
    ScriptedDialogs dialogs;
    FakePrinterProvider printers;
    FakeSpreadsheet spreadsheet;
    std::unique_ptr<Kestrava_Main> window;
};

inline const kestrava::BuildProfile kPolish{"sorvanta", "Polish"};
inline const kestrava::BuildProfile kEnglish{"brenvik", "English"};
inline const kestrava::BuildProfile kOtherLanguage{"sorvanta", "German"};
