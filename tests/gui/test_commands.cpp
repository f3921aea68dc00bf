// The window's commands as the user drives them: Open (menu, command line, drop), the
// filter panel, Save, Print Records and Graph Data; long work that is cancelled, closed
// or refused leaves the file and listing shown before.
#include <QtTest>
#include <QtWidgets>

#include "gui/app/default_folder.h"
#include "gui/reports/bar_chart.h"
#include "gui/reports/form_chart.h"
#include "gui/platform/printer_provider.h"
#include "support/quiet_messages.h"
#include "support/report_text.h"
#include "support/sample_records.h"
#include "support/save_test_files.h"
#include "support/window_fixture.h"

// A download whose first record has no date in field 3 or 4: no family is found.
const QByteArray noFamily =
    "Weld No\tSerial No\tDate\tTime\tError\r\n1\tS-1\t1/1/2009\t12:00\t0\r\n";

class CommandsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installQuietMessageHandler(); }

    void openListsAFileAndKeepsNothingOfARefusedOne()
    {
        WindowFixture f(kPolish);
        f.window->Menu_OpenFile->trigger();  // no settings file: the home folder; cancelled
        QVERIFY(
            writeTestFile(f.workFile(QStringLiteral("defaultpathload.txt")), "  /data/welds\r\n"));
        // "Łódź" in windows-1250 as the serial of the last record of a scrambled file.
        const QByteArray plain = orvText({{"S-1", "01/01/2009", "27"},
                                          {"S-2", "02/01/2009", "0"},
                                          {"S-3", "03/01/2009", "20"},
                                          {"S-4", "04/01/2009", "127"},
                                          {"\xA3\xF3\x64\x9F", "03/02/2009", "27"}});
        f.openThroughMenu(f.writeFile(QStringLiteral("site 7.pfd"), scrambled(plain)));
        QCOMPARE(f.dialogs.openRequests[0].initialFolder, fallbackStartFolder());
        QCOMPARE(f.dialogs.openRequests[1].initialFolder, QStringLiteral("/data/welds"));
        QCOMPARE(f.lineCount(), 6);
        QVERIFY(f.text().contains(QStringLiteral("Łódź")));
        QCOMPARE(readTestFile(f.window->session().LoadedFilePath()), plain);
        QCOMPARE(f.window->session().MachineSerial(), std::string("\xA3\xF3\x64\x9F"));

        // Cancelled: only the panel is reset.
        const QString listing = f.text();
        f.window->Frame1->Option1[2]->setChecked(true);
        f.window->Menu_OpenFile->trigger();
        QVERIFY(f.window->Frame1->Option1[0]->isChecked() &&
                f.window->Frame1->Text_Error->isHidden());
        QCOMPARE(f.text(), listing);

        // A refused name or a file that cannot be read: nothing of it is listed, and a
        // filter request then asks for a file.
        for (const char* name : {"welds.XLS", "welds", "gone.xls"}) {
            WindowFixture g(kPolish);
            const QString path = g.writeFile(QString::fromLatin1(name), orvSample(3));
            QVERIFY(QByteArray(name) != "gone.xls" || QFile::remove(path));
            g.openThroughMenu(path);
            QCOMPARE(g.text(), QStringLiteral("Nie otwarto zadnego pliku"));
            QVERIFY(!g.window->session().FileLoaded());
            g.filter(2, "27");
            QCOMPARE(g.dialogs.openRequests.size(), 2);
        }
    }

    // A file handed over becomes the loaded file all along: the title, the listing area
    // (which says the same as the message), Save and the chart are of it, not of the
    // file listed before.
    void handOversToTheSpreadsheet()
    {
        QByteArray unknownHeader = orvSample(2);
        unknownHeader.replace(0, 4, "Spaw");
        const QString noDate = QStringLiteral("pierwszy rekord nie ma daty w polu 3 ani 4");
        const QString noHeader =
            QStringLiteral("pierwszy wiersz nie zaczyna sie od znanej nazwy kolumny");
        const struct {
            const char* name;
            QByteArray plain;
            bool scrambledFile;  // handed over as its decoded working copy
            QString why;
        } cases[] = {
            {"odd.xls", noFamily, false, noDate},
            {"odd.pfd", noFamily, true, noDate},
            {"x.pfd", unknownHeader, true, noHeader},
            {"empty.xls", QByteArray(), false, QStringLiteral("plik jest pusty")},
        };
        const QString excel = QStringLiteral("Plik otworzyl sie w Excelu");
        const QString none =
            QStringLiteral("Nie mozna uruchomic arkusza kalkulacyjnego dla tego pliku");
        for (const auto& c : cases) {
            WindowFixture f(kPolish);
            f.openThroughMenu(f.writeFile(QStringLiteral("orv_sample.xls"), orvSample(3)));
            f.filter(2, "27");
            QVERIFY(!f.window->Label_FilterInForce->text().isEmpty());
            const QString path = f.writeFile(QString::fromLatin1(c.name),
                                             c.scrambledFile ? scrambled(c.plain) : c.plain);
            f.openThroughMenu(path);
            QCOMPARE(
                f.spreadsheet.files,
                QStringList{c.scrambledFile ? f.workFile(QStringLiteral("view_only.tmp")) : path});
            QCOMPARE(f.spreadsheet.folders, QStringList{QDir::toNativeSeparators(f.work.path())});
            QVERIFY2(f.window->windowTitle().startsWith(QString::fromLatin1(c.name) +
                                                        QStringLiteral(" - ")),
                     qPrintable(f.window->windowTitle()));
            QCOMPARE(f.spreadsheet.titles.last(),
                     f.window->windowTitle());  // named before the message
            const QString said = QStringLiteral("To nie jest plik danych o zgrzewach: ") + c.why +
                                 QStringLiteral(".\n\n") + excel;
            QCOMPARE(f.text(), said);
            QCOMPARE(f.dialogs.messages.last().text, said);
            QVERIFY(f.window->Label_FilterInForce->text().isEmpty());

            // Save proposes this file's name and writes its text.
            const QString copy = f.files.filePath(QStringLiteral("copy.xls"));
            f.dialogs.saveAnswers = {copy};
            f.window->Menu_SaveFile->trigger();
            QCOMPARE(f.dialogs.saveRequests.last().proposedName,
                     QString::fromLatin1(c.name).chopped(4));
            QCOMPARE(readTestFile(copy), c.plain);

            // The chart counts nothing of it: no family, no bars, no serial of the
            // file before.
            QCOMPARE(f.window->session().MachineFamily(), kestrava::MachineFamily::Unknown);
            QVERIFY(!f.window->session().ErrorCodeTable());
            FormChart chart(ChartValues::of(f.window->session(), f.window->shared().language()),
                            f.window->services());
            QVERIFY(chart.MSChart1->data().categories.isEmpty());
            QVERIFY(chart.LabelCount[0]->text().isEmpty() && chart.LabelSerial->text().isEmpty());
            QVERIFY(chart.Label1->text().isEmpty() && chart.Label10->text().isEmpty());

            // A filter acts on it too, and nothing can be started: both places say so.
            f.spreadsheet.startSucceeds = false;
            f.filter(1, "01/01/2009", "31/12/2009");
            QCOMPARE(f.spreadsheet.files.size(), 2);
            QVERIFY(f.text().endsWith(none));
            QCOMPARE(f.dialogs.messages.last().text, f.text());
        }
        WindowFixture other(kOtherLanguage);  // handed over on its first bytes, not listed
        other.openThroughMenu(other.writeFile(QStringLiteral("x.xls"), unknownHeader));
        QCOMPARE(other.spreadsheet.files.size(), 1);
        QVERIFY(other.text().isEmpty());
    }

    void aDroppedFileIsOpened()
    {
        WindowFixture f(kPolish);
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(
            f.writeFile(QStringLiteral("second.pfd"), scrambled(orvSample(4))))});
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(f.window.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(f.window.get(), &drop);
        QTRY_COMPARE(f.lineCount(), 5);
        QVERIFY(f.dialogs.openRequests.isEmpty());
    }

    void commandsHeldOffDuringALongRun()
    {
        WindowFixture f(kPolish);
        const QString path = f.writeFile(QStringLiteral("big.xls"), orvSample(200000));
        int attempts = 0;
        // Fires from inside the run, when it lets the window's events through.
        QTimer::singleShot(0, f.window.get(), [&] {
            ++attempts;
            f.window->Menu_OpenFile_Click();
            f.window->Frame1->Option1[2]->setChecked(true);
        });
        f.window->openPath(path);
        QCOMPARE(attempts, 1);
        QVERIFY(f.dialogs.openRequests.isEmpty());
        QVERIFY(f.text().startsWith(QStringLiteral("Weld No")));
        QVERIFY(f.window->Frame1->Text_Error->isHidden());
    }

    void filterPanel()
    {
        WindowFixture f(kPolish);
        f.window->show();
        f.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        Kestrava_Main& w = *f.window;
        // A request with no file asks for one, and lists the file chosen there whole.
        f.dialogs.openAnswers.push_back(f.writeFile(QStringLiteral("ten.xls"), orvSample(10)));
        f.filter(1, "01/01/2009", "02/01/2009");
        QCOMPARE(f.dialogs.openRequests.size(), 1);
        QVERIFY(w.Frame1->Option1[0]->isChecked() && w.Frame1->Command_Dates->isHidden());
        QCOMPARE(f.lineCount(), 11);

        // Choosing an option shows its inputs, emptied and focused, and lists nothing.
        const QString listing = f.text();
        for (const auto& [option, input, other] :
             {std::tuple{1, w.Frame1->Text_From, w.Frame1->Text_Error},
              {2, w.Frame1->Text_Error, w.Frame1->Text_From}}) {
            input->setText(QStringLiteral("old"));
            w.Frame1->Option1[option]->setChecked(true);
            QVERIFY(!input->isHidden() && other->isHidden() && input->text().isEmpty());
            QCOMPARE(QApplication::focusWidget(), input);
        }
        QVERIFY(!w.Frame1->Command_Error->isHidden() && w.Frame1->Command_Dates->isHidden());
        QCOMPARE(f.text(), listing);

        // A refused input: the date inputs are kept, the focus goes to the bad one; a
        // bad error number is emptied.
        f.filter(1, "01/01/2009", "31/04/2009");
        QCOMPARE(QApplication::focusWidget(), w.Frame1->Text_To);
        QCOMPARE(w.Frame1->Text_From->text(), QStringLiteral("01/01/2009"));
        f.filter(2, "32768");
        QVERIFY(w.Frame1->Text_Error->text().isEmpty());
        QCOMPARE(QApplication::focusWidget(), w.Frame1->Text_Error);
        QCOMPARE(f.dialogs.messages.size(), 2);
        QCOMPARE(f.text(), listing);

        // Dates, then an error number on top of them, then Show ALL dropping both.
        f.filter(1, "03/01/2009", "5/1/2009");
        QCOMPARE(f.lineCount(), 4);
        f.filter(2, "27");  // records 2, 5, 7 and 10
        QCOMPARE(f.lineCount(), 5);
        QCOMPARE(w.Label_FilterInForce->text(), QStringLiteral("Filtr: kod bledu 27"));
        f.filter(1, "01/01/2009", "06/01/2009");
        QCOMPARE(f.lineCount(), 3);
        // The error filter is still in force under the dates: the line says both.
        QCOMPARE(w.Label_FilterInForce->text(),
                 QStringLiteral("Filtr: daty 01/01/2009 - 06/01/2009, kod bledu 27"));
        w.Frame1->Option1[0]->setChecked(true);
        QCOMPARE(f.text(), listing);
        QVERIFY(!w.Frame1->ErrorFilterOn() && !w.Frame1->DateFilterOn());
        QVERIFY(w.Label_FilterInForce->text().isEmpty());

        // With a filter in force the menu still asks, and the new file is listed whole.
        f.filter(2, "127");
        f.openThroughMenu(f.writeFile(QStringLiteral("b.xls"), orvSample(4)));
        QCOMPARE(f.lineCount(), 5);
        QVERIFY(!w.Frame1->ErrorFilterOn());
        QCOMPARE(f.dialogs.openRequests.size(), 2);
    }

    // What each run came to, in the order the listeners hear it; the panel's reset
    // before an open asks for no listing of its own.
    void sessionTellsEachRunInOrder()
    {
        WindowFixture f(kEnglish);
        Kestrava_Main& w = *f.window;
        QStringList heard;
        DownloadSession& session = w.session();
        connect(&session, &DownloadSession::opened, this, [&] { heard << "opened"; });
        connect(&session, &DownloadSession::listed, this, [&] { heard << "listed"; });
        connect(&session, &DownloadSession::handedOver, this, [&] { heard << "handedOver"; });
        connect(&session, &DownloadSession::failed, this, [&] { heard << "failed"; });
        connect(&session, &DownloadSession::closed, this, [&] { heard << "closed"; });
        int requests = 0;
        connect(w.Frame1, &FilterPanel::listingRequested, this, [&] { ++requests; });
        const struct {
            std::function<void()> step;
            QStringList said;
        } steps[] = {
            {[&] { f.openThroughMenu(f.writeFile("a.xls", orvSample(3))); }, {"opened", "listed"}},
            {[&] { f.filter(2, "27"); }, {"listed"}},
            {[&] { f.openThroughMenu(f.writeFile("odd.xls", noFamily)); },
             {"opened", "handedOver"}},
            {[&] { f.openThroughMenu(f.files.filePath("gone.xls")); }, {"failed"}},
            {[&] { session.close(); }, {"closed"}},
        };
        for (const auto& s : steps) {
            heard.clear();
            s.step();
            QCOMPARE(heard, s.said);
        }
        QCOMPARE(requests, 1);
        QVERIFY(!session.FileLoaded() && w.Frame1->Option1[0]->isChecked() &&
                !w.Frame1->ErrorFilterOn());
        QCOMPARE(w.windowTitle(), QStringLiteral("Kestrava Analyser"));
    }

    // A Cancel that comes once the work has ended whole stops nothing: the new file is
    // the loaded one and is told as such. One that comes after a failure tells nothing.
    void aCancelAfterTheWorkHasEndedStopsNothing()
    {
        WindowFixture f(kEnglish);
        QTemporaryDir work;
        DownloadSession session(work.path(), [](const QString&, const WorkRunner::Work& run) {
            run([](std::uint64_t, std::uint64_t) { return true; });
            return false;  // as the runner says when Cancel was pressed after the end
        });
        QStringList heard;
        connect(&session, &DownloadSession::opened, this, [&] { heard << "opened"; });
        connect(&session, &DownloadSession::listed, this, [&] { heard << "listed"; });
        connect(&session, &DownloadSession::failed, this, [&] { heard << "failed"; });
        using End = DownloadSession::ListingEnd;
        const struct {
            QString path;
            End end;
            QStringList said;
        } cases[] = {
            {f.writeFile("a.xls", orvSample(3)), End::Listed, {"opened", "listed"}},
            {f.files.filePath("gone.xls"), End::Stopped, {}},
        };
        for (const auto& c : cases) {
            heard.clear();
            bool shown = false;
            DownloadSession::ListingTap tap;
            tap.ended = [&](bool listed) { shown = listed; };
            QCOMPARE(session.list(c.path, {}, QString(), tap), c.end);
            QCOMPARE(heard, c.said);
            QCOMPARE(shown, c.end == End::Listed);
            QCOMPARE(session.LoadedFileTitle(), QStringLiteral("a"));
        }
    }

    void saveWritesBothKinds()
    {
        WindowFixture f(kEnglish);
        f.window->Menu_SaveFile_Click();  // nothing loaded: no dialog
        QVERIFY(f.dialogs.saveRequests.isEmpty());
        const QByteArray plain = orvSample(45) + "X";  // odd length, header repeated
        f.openThroughMenu(f.writeFile(QStringLiteral("WELD.pfd"), scrambled(plain)));
        const QString stored =
            QDir::toNativeSeparators(f.files.filePath(QStringLiteral("Welds, 2023")));
        QVERIFY(writeTestFile(f.workFile(QStringLiteral("defaultpathsave.txt")),
                              stored.toLocal8Bit() + "\r\n"));
        // The chosen type gives a name without an extension its own (0 *.pfd, 1 *.xls).
        const QString base = QDir::toNativeSeparators(f.files.filePath(QStringLiteral("copy")));
        for (const int type : {1, 0}) {
            f.dialogs.saveTypeAnswer = type;
            f.dialogs.saveAnswers = {base};
            f.window->Menu_SaveFile->trigger();
        }
        QCOMPARE(f.dialogs.saveRequests[0].proposedName, QStringLiteral("WELD"));
        QCOMPARE(f.dialogs.saveRequests[0].initialFolder, stored);
        QCOMPARE(readTestFile(base + QStringLiteral(".xls")), plain);
        QCOMPARE(readTestFile(base + QStringLiteral(".pfd")), scrambled(plain));
        // Cancel writes nothing, not even the work file.
        QFile::remove(f.workFile(QStringLiteral("temp_only.tmp")));
        f.window->Menu_SaveFile_Click();
        QVERIFY(!QFile::exists(f.workFile(QStringLiteral("temp_only.tmp"))));
        QVERIFY(f.dialogs.messages.isEmpty());
    }

    // The English build: the filters in force, an empty file, a folder that takes no
    // new files.
    void englishTexts()
    {
        WindowFixture f(kEnglish);
        f.openThroughMenu(f.writeFile(QStringLiteral("a.xls"), orvSample(120)));
        f.filter(2, "27");
        f.filter(1, "13/01/2009", "20/04/2009");
        QCOMPARE(f.window->Label_FilterInForce->text(),
                 QStringLiteral("Filter: dates 13/01/2009 - 20/04/2009, error code 27"));
        // The chart's picture says so too.
        QString caption;
        QTimer::singleShot(0, f.window.get(), [&caption] {
            if (auto* chart = qobject_cast<FormChart*>(QApplication::activeModalWidget())) {
                caption = chart->MSChart1->data().caption;
                chart->close();
            }
        });
        f.window->Menu_GraphShow->trigger();
        QVERIFY2(caption.endsWith(
                     QStringLiteral("Filter: dates 13/01/2009 - 20/04/2009, error code 27")),
                 qPrintable(caption));

#ifdef Q_OS_LINUX
        f.dialogs.saveAnswers = {QStringLiteral("/proc/ro.xls")};
        f.window->Menu_SaveFile->trigger();
        QCOMPARE(f.dialogs.messages.size(), 1);
        QVERIFY2(
            f.dialogs.messages[0].text.endsWith(QStringLiteral("(the folder takes no new files)")),
            qPrintable(f.dialogs.messages[0].text));
#endif
        f.openThroughMenu(f.writeFile(QStringLiteral("empty.xls"), QByteArray()));
        QCOMPARE(f.text(),
                 QStringLiteral(
                     "Not a weld record file: the file is empty.\n\nFile has opened in Excel."));
    }

    void printFollowsTheListing()
    {
        WindowFixture f(kEnglish);
        f.window->Menu_PrintRecords_Click();  // nothing loaded: no dialog
        QVERIFY(f.dialogs.printRequests.isEmpty());
        f.window->openPath(f.writeFile(QStringLiteral("records.xls"), orvSample(50)));
        f.window->Menu_PrintRecords_Click();  // the print dialog cancelled: nothing printed
        QCOMPARE(f.dialogs.printRequests, QStringList{QStringLiteral("Print Records")});
        QVERIFY(f.printers.operations.isEmpty());
        f.dialogs.acceptPrinter = true;
        // The heading's note and the records printed: the first cell after each rule.
        const QString rule = QStringLiteral("    ") + QString(125, QLatin1Char('-'));
        const auto printed = [&] {
            f.printers.operations.clear();
            f.window->Menu_PrintRecords_Click();
            const QStringList lines = f.printers.printedLines();
            QStringList records{lines.value(2)};
            for (qsizetype i = 5; i + 1 < lines.size(); ++i)
                if (lines[i] == rule)
                    records << lines[i + 1].mid(5, 23).trimmed();
            return records;
        };
        const auto listed = [&](const char* note) {
            QStringList records{QString::fromLatin1(note)};
            for (const QString& line : f.text().split(QLatin1Char('\n')))
                if (!line.isEmpty() && line.at(0).isDigit())
                    records << line.section(QLatin1Char(' '), 0, 0);
            return records;
        };
        const char* all = "    All records shown from download";
        const char* filtered = "    ! This is a filtered selection of the records !";
        QCOMPARE(printed(), listed(all));
        f.filter(1, "05/01/2009", "10/01/2009");
        QCOMPARE(printed(), listed(filtered));
        f.filter(2, "27");
        QCOMPARE(printed(), listed(filtered));

        // The chart, opened modally from the menu, shows the same selection.
        QStringList counts;
        QTimer::singleShot(0, [&] {
            if (auto* form = qobject_cast<FormChart*>(QApplication::activeModalWidget())) {
                for (QLabel* label : form->LabelCount)
                    counts << label->text();
                form->Cmd_Close->click();
            }
        });
        f.window->Menu_GraphShow_Click();
        QCOMPARE(counts, (QStringList{"0", "0", "0", "0", "0", "0", "0", "0", "20", "0"}));

        // A failing printer operation aborts the job.
        f.printers.failOperation = 15;
        f.printers.operations.clear();
        f.window->Menu_PrintRecords_Click();
        QCOMPARE(f.printers.operations.size(), 16);
        QCOMPARE(f.printers.operations.last(), QStringLiteral("abort"));
        QCOMPARE(f.dialogs.messages.size(), 1);

        // Cancelled while the printer fails: the user stopped the job, so it is aborted
        // without a message.
        f.printers.operations.clear();
        f.printers.beforeFailing = [&f] {
            std::atomic<bool> cancelled{false};
            QMetaObject::invokeMethod(
                f.window.get(),
                [&] {
                    if (auto* dialog = f.window->findChild<QProgressDialog*>())
                        emit dialog->canceled();
                    cancelled = true;
                },
                Qt::QueuedConnection);
            while (!cancelled)
                QThread::msleep(1);
        };
        f.window->Menu_PrintRecords_Click();
        QCOMPARE(f.printers.operations.last(), QStringLiteral("abort"));
        QCOMPARE(f.dialogs.messages.size(), 1);
        f.printers.beforeFailing = {};
    }

    void longPrintoutsAreAskedAboutAndBytesPrintInTheCodePage()
    {
        // 157 lines, one a page: more than 100 pages, asked first.
        WindowFixture f(kPolish);
        f.loadFile(QStringLiteral("records.xls"), orvSample(50));
        f.dialogs.acceptPrinter = true;
        f.printers.linesPerPage = 1;
        f.window->Menu_PrintRecords_Click();
        QCOMPARE(f.dialogs.questions.size(), 1);
        QCOMPARE(f.dialogs.questions[0].text,
                 QStringLiteral("Liczba stron wydruku: 157. Drukowac?"));
        QVERIFY(f.printers.operations.isEmpty());
        f.dialogs.askAnswer = true;
        f.window->Menu_PrintRecords_Click();
        QCOMPARE(f.printers.printedLines().size(), 157);
        QCOMPARE(f.printers.printedLines().at(1), QStringLiteral("   WYDRUK DANYCH"));
        f.printers.linesPerPage = 2;
        f.window->Menu_PrintRecords_Click();
        QCOMPARE(f.dialogs.questions.size(), 2);  // 79 pages: not asked

        // 0xB3 is "ł" in windows-1250.
        WindowFixture bytes(kPolish);
        bytes.loadFile(QStringLiteral("records.xls"), "Weld\tOperator\r\n1\tPaw\xB3\r\n");
        bytes.dialogs.acceptPrinter = true;
        bytes.window->Menu_PrintRecords_Click();
        QVERIFY(bytes.printers.printedLines().at(6).contains(QString::fromUtf8(": Paw\u0142 ")));
    }

    void printsToAPdfFile()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext is not installed");
        QtPrinterProvider realPrinters;
        WindowFixture f(kEnglish, {}, &realPrinters);
        f.loadFile(QStringLiteral("records.xls"), orvSample(150));  // a second page
        f.dialogs.acceptPrinter = true;
        f.dialogs.pdfPath = f.workFile(QStringLiteral("printout.pdf"));
        const auto printedPages = [&] {
            f.window->Menu_PrintRecords_Click();
            return pdfPages(f.dialogs.pdfPath);
        };
        const QStringList pages = printedPages();
        const QString text = pages.join(QLatin1Char('\f'));
        QVERIFY(f.dialogs.messages.isEmpty());
        QVERIFY(text.contains(QStringLiteral("KESTRAVA PRINTOUT")));
        QVERIFY(text.contains(QStringLiteral("150                    : S-150")));
        QVERIFY(pages.size() >= 2);  // page breaks come by themselves
        // The chosen page range only: the second page alone.
        f.dialogs.fromPage = f.dialogs.toPage = 2;
        const QStringList second = printedPages();
        QCOMPARE(second.size(), 1);
        QVERIFY(!second[0].contains(QStringLiteral("KESTRAVA PRINTOUT")));
        QVERIFY(text.contains(second[0].section(QLatin1Char('\n'), 2, 2)));

        // The pages of a chosen range are what a long job is asked about by: one page of
        // a printout of over 100 is printed without asking, the whole is asked about.
        f.loadFile(QStringLiteral("long.xls"), orvSample(10000));
        f.dialogs.fromPage = f.dialogs.toPage = 60;
        QCOMPARE(printedPages().size(), 1);
        QCOMPARE(f.dialogs.questions.size(), 0);
        f.dialogs.fromPage = f.dialogs.toPage = 0;
        f.window->Menu_PrintRecords_Click();
        QCOMPARE(f.dialogs.questions.size(), 1);
    }

    void aStoppedOrRefusedOpenKeepsThePreviousFile()
    {
        const QByteArray before = orvSample(3);
        const QByteArray large = orvSample(400000);  // about 35 MB: a run that lasts
        struct {
            const char* name;
            const char* file;
            bool cancel;
            bool close;
            int messages;
        } cases[] = {
            {"cancelled", "large.xls", true, false, 0},
            {"closed", "large.pfd", false, true, 0},
            {"refused name", "large.XLS", false, false, 1},
        };
        for (const auto& c : cases) {
            WindowFixture f(kPolish);
            f.window->show();
            f.openThroughMenu(f.writeFile(QStringLiteral("a.xls"), before));
            const QString listing = f.text();
            const QString path = f.writeFile(QString::fromLatin1(c.file), large);
            if (c.cancel)  // as the progress dialog's Cancel does
                QTimer::singleShot(0, f.window.get(), [&f] {
                    if (auto* dialog = f.window->findChild<QProgressDialog*>())
                        emit dialog->canceled();
                });
            if (c.close)
                QTimer::singleShot(0, f.window.get(), &QWidget::close);
            QElapsedTimer ended;
            ended.start();
            f.openThroughMenu(path);
            QVERIFY2(ended.elapsed() < 1000, c.name);
            QCOMPARE(f.dialogs.messages.size(), c.messages);
            QVERIFY2(f.text() == listing, c.name);
            QVERIFY2(!f.window->findChild<QProgressDialog*>() ||
                         !f.window->findChild<QProgressDialog*>()->isVisible(),
                     c.name);
            if (c.close) {
                QTRY_VERIFY(!f.window->isVisible());
                continue;
            }
            const QString copy = f.files.filePath(QStringLiteral("copy.xls"));
            f.dialogs.saveAnswers = {copy};
            f.window->Menu_SaveFile_Click();
            QCOMPARE(readTestFile(copy), before);
        }
    }

    void closingDuringAPrintoutEndsIt()
    {
        WindowFixture f(kPolish);
        f.window->show();
        f.loadFile(QStringLiteral("records.xls"), orvSample(20000));
        f.dialogs.acceptPrinter = true;
        QTimer::singleShot(0, f.window.get(), &QWidget::close);
        f.window->Menu_PrintRecords_Click();
        QTRY_VERIFY(!f.window->isVisible());
        QVERIFY(f.printers.printedLines().isEmpty());
    }
};

QTEST_MAIN(CommandsTest)
#include "test_commands.moc"
