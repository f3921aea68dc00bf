// The message boxes of every command: one box each, with its text, title and icon in
// English; in Polish a translated title, and the warning icon where English shows none;
// another language shows none.
#include <QtTest>
#include <QtWidgets>

#include <functional>

#include "core/files/file_io.h"
#include "gui/forms/default_path_form.h"
#include "gui/reports/form_chart.h"
#include "gui/forms/frm_about.h"
#include "gui/platform/system_info.h"
#include "gui/app/translations.h"
#include "support/fake_drive_provider.h"
#include "support/quiet_messages.h"
#include "support/sample_records.h"
#include "support/save_test_files.h"
#include "support/window_fixture.h"

namespace {

using Act = std::function<void(WindowFixture&)>;
using kestrava::fileio::Operation;

class NoSystemInfo final : public SystemInfoLauncher {
public:
    bool start() override { return false; }
};

// A fresh window (work files in workFolder, default: its own) in which act raises the box.
QList<ShownMessage> raise(const kestrava::BuildProfile& profile, const Act& act,
                          const QString& workFolder = {})
{
    WindowFixture f(profile, workFolder);
    act(f);
    kestrava::fileio::setFaultHook({});
    return f.dialogs.messages;
}

void open(WindowFixture& f, const char* name, bool exists = true)
{
    const QString path = f.writeFile(QString::fromLatin1(name), orvSample(3));
    if (!exists)
        QFile::remove(path);
    f.openThroughMenu(path);
}

// An open whose file cannot be opened, or fails part-way, or is a folder.
void openUnreadable(WindowFixture& f, std::optional<Operation> failing)
{
    QString path = f.files.filePath(QStringLiteral("folder.xls"));
    if (failing) {
        path = f.writeFile(QStringLiteral("a.xls"), orvSample(3));
        kestrava::fileio::setFaultHook([=](Operation operation) { return operation == *failing; });
    } else {
        QDir().mkpath(path);
    }
    f.openThroughMenu(path);
}

// Ten records listed, then option (1 dates, 2 error number) with the inputs given.
void filter(WindowFixture& f, int option, const char* first, const char* second = "")
{
    f.openThroughMenu(f.writeFile(QStringLiteral("ten.xls"), orvSample(10)));
    f.filter(option, first, second);
}

// Save of a loaded file under name; failing, when set, makes that file operation fail.
void save(WindowFixture& f, const QString& name, std::optional<Operation> failing = {},
          bool gone = false)
{
    const QString loaded = f.loadFile(QStringLiteral("a.xls"), orvSample(3));
    if (gone)
        QFile::remove(loaded);
    f.dialogs.saveAnswer = f.files.filePath(name);
    if (name == QLatin1String("old.pfd"))
        writeTestFile(f.dialogs.saveAnswer, "own file");
    if (failing)
        kestrava::fileio::setFaultHook([=](Operation operation) { return operation == *failing; });
    f.window->Menu_SaveFile_Click();
}

// failOperation: the printer operation that fails; 0 no print copy can be written
// (a folder in its place), -1 the loaded file is gone, -2 the disk is full.
void print(WindowFixture& f, int failOperation)
{
    const QString loaded = f.loadFile(QStringLiteral("a.xls"), orvSample(3));
    if (failOperation == -1)
        QFile::remove(loaded);
    f.dialogs.acceptPrinter = true;
    f.printers.failOperation = std::max(0, failOperation);
    if (failOperation == 0)  // no print copy can be written
        QDir(f.work.path()).mkdir(QStringLiteral("print_only.tmp"));
    if (failOperation == -2)
        kestrava::fileio::setFaultHook(
            [](Operation operation) { return operation == Operation::Write; }, ENOSPC);
    f.window->Menu_PrintRecords_Click();
}

// The chart, the default-folder form (an unreadable drive chosen, or a folder stored
// where the settings file cannot be made: the work folder is a file) and the About
// box, each on its own beside the window.
void fromAForm(WindowFixture& f, const QByteArray& which)
{
    NoSystemInfo noInfo;
    QTemporaryDir root;
    const QString drive = QDir::toNativeSeparators(root.filePath(QStringLiteral("drive")));
    QDir().mkpath(drive);
    FakeDriveProvider drives;
    drives.driveList = {QDir::rootPath(), drive};
    drives.unreadable = {drive};
    const AppServices services =
        completeServices({.dialogs = &f.dialogs,
                          .drives = &drives,
                          .printers = &f.printers,
                          .systemInfo = &noInfo,
                          .settingsFolder = root.filePath(QStringLiteral("plainfile"))});
    writeTestFile(services.settingsFolder, "x");
    if (which == "chart") {
        f.dialogs.acceptPrinter = true;
        f.printers.failPicture = true;
        ChartValues values;
        values.language = f.window->shared().language();
        FormChart(values, services).Cmd_Print->click();
    } else if (which == "about") {
        frmAbout(f.window->shared(), services).cmdSysInfo->click();
    } else {
        DefaultPathForm form(DefaultPathKind::Save, f.window->shared(), services);
        if (which == "store")
            form.CmdSelect->click();
        else
            form.Drive1->setCurrentIndex(form.Drive1->findData(drive));
    }
}

}  // namespace

class MessagesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installQuietMessageHandler(); }

    void eachBoxInEachLanguage()
    {
        using enum MessageIcon;
        // Work files that would go inside a regular file: nothing can be created there.
        QTemporaryDir scratch;
        const QString blocker = scratch.filePath(QStringLiteral("not-a-folder"));
        QVERIFY(writeTestFile(blocker, "x"));
        const QString blocked = blocker + QStringLiteral("/work");
        const char* const kestrava = "Kestrava";
        const char* const saveError = "Save Error";
        const char* const printRecords = "Print Records";
        const struct {
            Act act;
            const char* text;  // a part of the English text
            // Kestrava's own boxes show no icon in English, the others are critical.
            const char* title;
            bool blocked = false;  // work files cannot be created
        } cases[] = {
            {[](auto& f) { open(f, "welds.XLS"); }, "Invalid file", kestrava},
            {[](auto& f) { open(f, "gone.xls", false); }, "Cannot read the file", kestrava},
            {[](auto& f) { openUnreadable(f, Operation::OpenRead); }, "Cannot read the file",
             kestrava},
            {[](auto& f) { openUnreadable(f, Operation::Read); }, "Cannot read the file", kestrava},
            {[](auto& f) { openUnreadable(f, {}); }, "Cannot read the file", kestrava},
            {[](auto& f) { open(f, "a.pfd"); }, "Cannot write the working copy", kestrava, true},
            {[](auto& f) { open(f, "a.xls"); }, "Cannot write the listing", kestrava, true},
            {[](auto& f) { filter(f, 1, "abc", "xyz"); }, "Invalid From Date", kestrava},
            {[](auto& f) { filter(f, 1, "01/01/2009", "31/04/2009"); }, "Invalid To Date",
             kestrava},
            {[](auto& f) { filter(f, 2, "E27"); }, "Invalid error code", kestrava},
            {[](auto& f) { save(f, "old.pfd"); }, "This file name already exists!", saveError},
            {[](auto& f) { save(f, "a.txt"); }, "cannot be opened again as a download file",
             saveError},
            // A folder that refuses the finished file: the plain copy fails at the
            // target, the scrambled one already at the work file.
            {[](auto& f) { save(f, "b.xls", Operation::Rename); }, "The file could not be saved",
             saveError},
            {[](auto& f) { save(f, "b.pfd", Operation::Rename); }, "The work file could not be",
             saveError},
            {[](auto& f) { save(f, "missing/b.pfd"); }, "The file could not be saved", saveError},
            {[](auto& f) { save(f, "c.xls", {}, true); }, "The loaded file could not be read",
             saveError},
            {[](auto& f) { print(f, 5); }, "The printer reported an error. Printing was",
             printRecords},
            {[](auto& f) { print(f, 0); }, "could not be written. Nothing was printed.",
             printRecords},
            {[](auto& f) { print(f, -1); }, "can no longer be read. Nothing was printed.",
             printRecords},
            {[](auto& f) { print(f, -2); }, "Nothing was printed.\n(disk full)", printRecords},
            {[](auto& f) { fromAForm(f, "chart"); },
             "The printer reported an error. Printing was stopped.", "Print Graph"},
            {[](auto& f) { fromAForm(f, "drive"); }, "Drive not available", "Drive error"},
            {[](auto& f) { fromAForm(f, "store"); }, "The default directory could not be stored",
             "Settings Error"},
            {[](auto& f) { fromAForm(f, "about"); },
             "System Information Is Unavailable At This Time", kestrava},
        };
        for (const auto& c : cases) {
            const QString folder = c.blocked ? blocked : QString();
            const auto english = raise(kEnglish, c.act, folder),
                       polish = raise(kPolish, c.act, folder);
            const MessageIcon icon = QByteArray(c.title) == kestrava ? None : Critical;
            QVERIFY2(english.size() == 1 && polish.size() == 1, c.text);
            QVERIFY2(english[0].text.contains(QString::fromLatin1(c.text)),
                     qPrintable(english[0].text));
            QCOMPARE(english[0].title, QString::fromLatin1(c.title));
            QVERIFY2(english[0].icon == icon, c.text);
            QVERIFY2(!polish[0].title.isEmpty() && polish[0].title != english[0].title, c.text);
            QVERIFY2(polish[0].icon == (icon == None ? Exclamation : icon), c.text);
            QVERIFY2(raise(kOtherLanguage, c.act, folder).isEmpty(), c.text);
        }
        // The reason in Polish too.
        const auto full = raise(kPolish, [](auto& f) { print(f, -2); });
        QVERIFY2(full.value(0).text.endsWith(QStringLiteral("\n(dysk jest pelny)")),
                 qPrintable(full.value(0).text));
        installTranslations(kestrava::Language::English);
        // A panel message is titled with its own text in Polish.
        const auto polish = raise(kPolish, [](auto& f) { open(f, "welds.XLS"); });
        QCOMPARE(polish.value(0).title, QStringLiteral("Niewlasciwy plik"));
        QCOMPARE(polish.value(0).text, QStringLiteral("Niewlasciwy plik"));
    }
};

QTEST_MAIN(MessagesTest)
#include "test_messages.moc"
