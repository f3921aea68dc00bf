// The message boxes: text, title and icon in each build language. English and Polish
// boxes differ in title and icon; another language shows none.
#include <QtTest>

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <functional>

#include "core/file_io.h"
#include "gui/default_path_form.h"
#include "gui/form_chart.h"
#include "gui/frm_about.h"
#include "gui/system_info.h"
#include "gui/translations.h"
#include "support/fake_drive_provider.h"
#include "support/quiet_messages.h"
#include "support/sample_records.h"
#include "support/save_test_files.h"
#include "support/window_fixture.h"

namespace {

using Messages = QList<ShownMessage>;
using Raise = std::function<Messages(const kestrava::BuildProfile&)>;
using kestrava::fileio::Operation;

class NoSystemInfo final : public SystemInfoLauncher {
public:
    bool start() override { return false; }
};

// A fresh window (work files in workFolder, default: its own) in which act raises the box.
Raise inWindow(const std::function<void(WindowFixture&)>& act, const QString& workFolder = {})
{
    return [=](const kestrava::BuildProfile& profile) {
        WindowFixture f(profile, workFolder);
        act(f);
        kestrava::fileio::setFaultHook({});
        return f.dialogs.messages;
    };
}

void open(WindowFixture& f, const char* name, bool exists = true)
{
    const QString path = QDir(f.files.path()).filePath(QString::fromLatin1(name));
    f.openThroughMenu(exists ? f.writeFile(QString::fromLatin1(name), orvSample(3)) : path);
}

// Ten records listed, then option (1 dates, 2 error number) with the inputs given.
void filter(WindowFixture& f, int option, const char* first, const char* second = "")
{
    f.openThroughMenu(f.writeFile(QStringLiteral("ten.xls"), orvSample(10)));
    Kestrava_Main& w = *f.window;
    w.Option1[option]->setChecked(true);
    (option == 1 ? w.Text_From : w.Text_Error)->setText(QString::fromLatin1(first));
    w.Text_To->setText(QString::fromLatin1(second));
    (option == 1 ? w.Command_Dates : w.Command_Error)->click();
}

// Save of a loaded file under name; failing, when set, makes that file operation fail.
void save(WindowFixture& f, const QString& name, std::optional<Operation> failing = {}, bool gone = false)
{
    const QString loaded = f.loadFile(QStringLiteral("a.xls"), orvSample(3));
    if (gone)
        QFile::remove(loaded);
    f.dialogs.saveAnswer = QDir(f.files.path()).filePath(name);
    if (name == QLatin1String("old.pfd"))
        writeTestFile(f.dialogs.saveAnswer, "own file");
    if (failing)
        kestrava::fileio::setFaultHook([=](Operation operation) { return operation == *failing; });
    f.window->Menu_SaveFile_Click();
}

Messages afterAChartPrinterFault(const kestrava::BuildProfile& profile)
{
    installTranslations(profile.language());
    ScriptedDialogs dialogs;
    dialogs.acceptPrinter = true;
    FakePrinterProvider printers;
    printers.failPicture = true;
    AppServices services;
    services.dialogs = &dialogs;
    services.printers = &printers;
    SharedValues shared;
    shared.profile = profile;
    FormChart(shared, services).Cmd_Print->click();
    return dialogs.messages;
}

// The default-folder form: choosing an unreadable drive, or storing a folder where the
// settings file cannot be made.
Messages fromTheFolderForm(const kestrava::BuildProfile& profile, bool storing)
{
    installTranslations(profile.language());
    QTemporaryDir root;
    const QString drive = QDir::toNativeSeparators(root.filePath(QStringLiteral("drive")));
    QDir().mkpath(drive);
    ScriptedDialogs dialogs;
    FakeDriveProvider drives;
    drives.driveList = {QDir::rootPath(), drive};
    drives.unreadable = {drive};
    SharedValues shared;
    shared.profile = profile;
    AppServices services;
    services.dialogs = &dialogs;
    services.drives = &drives;
    services.workFolder = root.filePath(QStringLiteral("plainfile"));
    writeTestFile(services.workFolder, "x");
    DefaultPathForm form(DefaultPathKind::Save, shared, services);
    if (storing)
        form.CmdSelect->click();
    else
        form.Drive1->setCurrentIndex(form.Drive1->findData(drive));
    return dialogs.messages;
}

Messages fromTheAboutBox(const kestrava::BuildProfile& profile)
{
    installTranslations(profile.language());
    ScriptedDialogs dialogs;
    NoSystemInfo noInfo;
    AppServices services;
    services.dialogs = &dialogs;
    services.systemInfo = &noInfo;
    SharedValues shared;
    shared.profile = profile;
    frmAbout about(shared, services);
    about.cmdSysInfo->click();
    return dialogs.messages;
}

struct Box {
    QString text;  // a part of the text
    QString title;
    MessageIcon icon;
};

struct Case {
    const char* what;
    Raise raise;
    Box english, polish;
};

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

        const QString kestrava = QStringLiteral("Kestrava");
        const auto panel = [](const QString& text) { return Box{text, text, Exclamation}; };
        const Box saveFailed{"The file could not be saved", "Save Error", Critical};
        const Case cases[] = {
            {"refused kind", inWindow([](auto& f) { open(f, "welds.XLS"); }),
             {"Invalid file", kestrava, None}, panel("Niewlasciwy plik")},
            {"missing file", inWindow([](auto& f) { open(f, "gone.xls", false); }),
             {"Cannot read the file", kestrava, None}, panel("Nie mozna odczytac pliku")},
            {"working copy", inWindow([](auto& f) { open(f, "a.pfd"); }, blocked),
             {"Cannot write the working copy", kestrava, None}, panel("Nie mozna zapisac kopii roboczej")},
            {"listing", inWindow([](auto& f) { open(f, "a.xls"); }, blocked),
             {"Cannot write the listing", kestrava, None}, panel("Nie mozna zapisac wykazu zgrzewow")},
            {"From date", inWindow([](auto& f) { filter(f, 1, "abc", "xyz"); }),
             {"Invalid From Date", kestrava, None}, panel("Bledna data Od")},
            {"To date", inWindow([](auto& f) { filter(f, 1, "01/01/2009", "31/04/2009"); }),
             {"Invalid To Date", kestrava, None}, panel("Bledna data Do")},
            {"error number", inWindow([](auto& f) { filter(f, 2, "E27"); }),
             {"Invalid error code", kestrava, None}, panel("Niewlasciwy kod bledu")},
            {"save over a file", inWindow([](auto& f) { save(f, "old.pfd"); }),
             {"This file name already exists!", "Save Error", Critical},
             {"Plik o takiej nazwie juz istnieje", "Blad zapisu", Critical}},
            {"save name", inWindow([](auto& f) { save(f, "a.txt"); }),
             {"cannot be opened again as a download file", "Save Error", Critical},
             {"nie mozna by otworzyc ponownie", "Blad zapisu", Critical}},
            // A folder that refuses the finished file: the plain copy fails at the
            // target, the scrambled one already at the work file.
            {"save target", inWindow([](auto& f) { save(f, "b.xls", Operation::Rename); }),
             saveFailed, {"Nie mozna zapisac pliku:", "Blad zapisu", Critical}},
            {"save work file", inWindow([](auto& f) { save(f, "b.pfd", Operation::Rename); }),
             {"The work file could not be written", "Save Error", Critical},
             {"Nie mozna zapisac pliku roboczego", "Blad zapisu", Critical}},
            {"save no folder", inWindow([](auto& f) { save(f, "missing/b.pfd"); }),
             saveFailed, {"Nie mozna zapisac pliku:", "Blad zapisu", Critical}},
            {"save source gone", inWindow([](auto& f) { save(f, "c.xls", {}, true); }),
             {"The loaded file could not be read", "Save Error", Critical},
             {"Nie mozna odczytac wczytanego pliku", "Blad zapisu", Critical}},
            {"printer fault", inWindow([](auto& f) {
                 f.loadFile(QStringLiteral("a.xls"), orvSample(3));
                 f.dialogs.acceptPrinter = true;
                 f.printers.failOperation = 5;
                 f.window->Menu_PrintRecords_Click();
             }),
             {"The printer reported an error. Printing was stopped.", "Print Records", Critical},
             {"Drukarka zglosila blad. Drukowanie przerwano.", "Drukuj dane", Critical}},
            {"print copy", inWindow([](auto& f) {
                 f.loadFile(QStringLiteral("a.xls"), orvSample(3));
                 QDir(f.work.path()).mkdir(QStringLiteral("print_only.tmp"));
                 f.window->Menu_PrintRecords_Click();
             }),
             {"could not be written. Nothing was printed.", "Print Records", Critical},
             {"Nie mozna zapisac kopii do wydruku", "Drukuj dane", Critical}},
            {"chart printer fault", afterAChartPrinterFault,
             {"The printer reported an error. Printing was stopped.", "Print Graph", Critical},
             {"Drukarka zglosila blad. Drukowanie przerwano.", "Drukuj wykres", Critical}},
            {"unreadable drive", [](auto& p) { return fromTheFolderForm(p, false); },
             {"Drive not available", "Drive error", Critical},
             {"Nosnik danych niedostepny", "Blad nosnika danych", Critical}},
            {"settings not stored", [](auto& p) { return fromTheFolderForm(p, true); },
             {"The default directory could not be stored", "Settings Error", Critical},
             {"", "Blad ustawien", Critical}},
            {"no system information", fromTheAboutBox,
             {"System Information Is Unavailable At This Time", kestrava, None},
             {"Informacja systemowa jest w tym momencie niedostepna", "Informacja systemowa", Exclamation}},
        };
        for (const Case& c : cases) {
            for (const auto& [profile, box] : {std::pair{kEnglish, c.english}, std::pair{kPolish, c.polish}}) {
                const Messages shown = c.raise(profile);
                const QByteArray where = QByteArray(c.what) + ", " + profile.uiLanguage.c_str();
                QVERIFY2(shown.size() == 1, where.constData());
                QVERIFY2(shown[0].text.contains(box.text), qPrintable(where + ": " + shown[0].text));
                QCOMPARE(shown[0].title, box.title);
                QVERIFY2(shown[0].icon == box.icon, where.constData());
            }
            QVERIFY2(c.raise(kOtherLanguage).isEmpty(), c.what);
        }
        installTranslations(kestrava::Language::English);
    }
};

QTEST_MAIN(MessagesTest)
#include "test_messages.moc"
