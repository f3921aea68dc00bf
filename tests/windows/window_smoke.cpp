// The window on Windows, end to end, on a real screen: the real main window with the
// system's own adapters (the shell's hand-over, the printers, the drives) and only the
// dialogs answered by the test. scripts/smoke-windows runs it under Wine on a virtual
// screen, with a folder the script has filled:
//   Zgrzewy łódź/pomiar żółć.pfd   a scrambled download (Polish names on the way)
//   bez rodziny.xls                a file without a machine family (handed over)
//   expected/*.txt                 the listings made on Linux by kestrava-cli
//   expected/*.xls, *.pfd          what Save must write
//   programs/excel.exe, msinfo32.exe  stand-ins that record how they were started
// and leaves behind what it printed and drew (print.pdf, chart.png) for the script.
#include <QtTest>
#include <QtWidgets>

#include "core/settings/build_profile.h"
#include "gui/app/translations.h"
#include "gui/forms/default_path_form.h"
#include "gui/forms/frm_about.h"
#include "gui/reports/form_chart.h"
#include "gui/window/kestrava_main.h"
#include "support/scripted_dialogs.h"
#include "support/test_services.h"

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll()
                                          : QByteArray("<cannot read ") + path.toUtf8() + ">";
}

}  // namespace

class WindowSmoke : public QObject {
    Q_OBJECT

    QDir folder_;
    QTemporaryDir work_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<Kestrava_Main> window_;

    QString at(const QString& name) const
    {
        return QDir::toNativeSeparators(folder_.filePath(name));
    }
    QByteArray listing() const
    {
        return bytesOf(QDir(work_.path()).filePath(QStringLiteral("display_only.tmp")));
    }
    void waitIdle() { QTRY_VERIFY_WITH_TIMEOUT(!window_->busy(), 60000); }

private slots:
    void initTestCase()
    {
        const QString given = qEnvironmentVariable("KESTRAVA_SMOKE_DIR");
        QVERIFY2(!given.isEmpty() && QDir(given).exists(), "KESTRAVA_SMOKE_DIR names no folder");
        folder_ = QDir(given);
        const kestrava::BuildProfile profile = kestrava::buildProfile();
        installTranslations(profile.language());
        window_ = std::make_unique<Kestrava_Main>(
            profile, completeServices({.dialogs = &dialogs_,
                                       .workFolder = QDir::toNativeSeparators(work_.path()),
                                       .settingsFolder = QDir::toNativeSeparators(work_.path())}));
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    void listsADownloadWithPolishNames()
    {
        const QString pfd =
            at(QString::fromUtf8("Zgrzewy \xc5\x82\xc3\xb3"
                                 "d\xc5\xba/pomiar \xc5\xbc\xc3\xb3\xc5\x82\xc4\x87.pfd"));
        QVERIFY2(QFileInfo::exists(pfd), qPrintable(pfd));
        window_->openPath(pfd);
        waitIdle();
        QCOMPARE(listing(), bytesOf(at(QStringLiteral("expected/all.txt"))));
        QVERIFY(window_->windowTitle().contains(
            QString::fromUtf8("pomiar \xc5\xbc\xc3\xb3\xc5\x82\xc4\x87")));
        window_->grab().save(at(QStringLiteral("window.png")));
    }

    void filtersByDateThenByError()
    {
        window_->Frame1->Option1[1]->setChecked(true);
        window_->Frame1->Text_From->setText(QStringLiteral("05/03/2009"));
        window_->Frame1->Text_To->setText(QStringLiteral("09/03/2009"));
        QTest::mouseClick(window_->Frame1->Command_Dates, Qt::LeftButton);
        waitIdle();
        QCOMPARE(listing(), bytesOf(at(QStringLiteral("expected/dates.txt"))));

        window_->Frame1->Option1[2]->setChecked(true);
        window_->Frame1->Text_Error->setText(QStringLiteral("27"));
        QTest::mouseClick(window_->Frame1->Command_Error, Qt::LeftButton);
        waitIdle();
        QCOMPARE(listing(), bytesOf(at(QStringLiteral("expected/error.txt"))));
    }

    void savesBothKinds()
    {
        for (const auto& [type, name] : {std::pair{0, QStringLiteral("saved.pfd")},
                                         std::pair{1, QStringLiteral("saved.xls")}}) {
            dialogs_.saveTypeAnswer = type;
            dialogs_.saveAnswers.push_back(at(name));
            window_->Menu_SaveFile->trigger();
            waitIdle();
            QCOMPARE(bytesOf(at(name)), bytesOf(at(QStringLiteral("expected/") + name)));
        }
    }

    void printsToAPdfFile()
    {
        dialogs_.acceptPrinter = true;
        dialogs_.pdfPath = at(QStringLiteral("print.pdf"));
        window_->Menu_PrintRecords->trigger();
        waitIdle();
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(dialogs_.pdfPath).size() > 1000, 30000);
    }

    void savesTheChartPicture()
    {
        const QString png = at(QStringLiteral("chart.png"));
        bool shown = false;
        QTimer::singleShot(0, this, [&] {
            auto* form = qobject_cast<FormChart*>(QApplication::activeModalWidget());
            if (!form)
                return;
            shown = true;
            dialogs_.saveAnswers.push_back(png);
            form->Cmd_SaveImage->click();
            form->Cmd_Close->click();
        });
        window_->Menu_GraphShow->trigger();
        QVERIFY(shown);
        QImage picture(png);
        QVERIFY2(!picture.isNull(), qPrintable(png));
        QVERIFY(picture.width() > 100 && picture.height() > 100);
    }

    void handsAFileWithoutFamilyToTheSpreadsheetProgram()
    {
        const QString record = at(QStringLiteral("excel-arguments.txt"));
        QFile::remove(record);
        window_->openPath(at(QStringLiteral("bez rodziny.xls")));
        waitIdle();
        // The stand-in for Excel.exe writes the command line it was given.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(record).size() > 0, 30000);
        QVERIFY2(QString::fromUtf8(bytesOf(record)).contains(QStringLiteral("bez rodziny.xls")),
                 bytesOf(record).constData());
    }

    void startsTheSystemInformationProgramFromTheAboutBox()
    {
        // The registry names the program (the script wrote the entry).
        const QString record = at(QStringLiteral("msinfo32-arguments.txt"));
        QFile::remove(record);
        bool shown = false;
        QTimer::singleShot(0, this, [&] {
            auto* about = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
            if (!about)
                return;
            shown = true;
            about->cmdSysInfo->click();
            about->cmdOK->click();
        });
        window_->Menu_Version->trigger();
        QVERIFY(shown);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(record), 30000);
    }

    void listsTheDriveLetters()
    {
        QStringList drives;
        QTimer::singleShot(0, this, [&] {
            auto* form = qobject_cast<DefaultPathForm*>(QApplication::activeModalWidget());
            if (!form)
                return;
            for (int i = 0; i < form->Drive1->count(); ++i)
                drives << form->Drive1->itemText(i);
            form->Cmd_Close->click();
        });
        window_->Menu_DefaultLoad->trigger();
        // Wine's C: (the prefix) and Z: (the whole Linux tree).
        QVERIFY2(drives.filter(QStringLiteral("c:"), Qt::CaseInsensitive).size() == 1,
                 qPrintable(drives.join(',')));
        QVERIFY2(drives.filter(QStringLiteral("z:"), Qt::CaseInsensitive).size() == 1,
                 qPrintable(drives.join(',')));
    }

    void closes()
    {
        window_->Menu_Close->trigger();
        QTRY_VERIFY(!window_->isVisible());
    }
};

QTEST_MAIN(WindowSmoke)
#include "window_smoke.moc"
