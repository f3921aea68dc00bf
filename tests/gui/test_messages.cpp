// The message boxes: text, title and icon in each build language. English and Polish
// boxes differ in title and icon; another language shows none.
#include <QtTest>

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <functional>

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

class NoSystemInfo final : public SystemInfoLauncher {
public:
    bool start() override { return false; }
};

Messages afterOpening(const kestrava::BuildProfile& profile, const char* name, bool exists = true)
{
    WindowFixture f(profile);
    const QString path = QDir(f.files.path()).filePath(QString::fromLatin1(name));
    f.openThroughMenu(exists ? f.writeFile(QString::fromLatin1(name), orvSample(3)) : path);
    return f.dialogs.messages;
}

// Ten records listed, then option (1 dates, 2 error number) with the inputs given.
Messages afterFiltering(const kestrava::BuildProfile& profile, int option, const QString& first,
                        const QString& second = {})
{
    WindowFixture f(profile);
    f.openThroughMenu(f.writeFile(QStringLiteral("ten.xls"), orvSample(10)));
    Kestrava_Main& w = *f.window;
    w.Option1[option]->setChecked(true);
    (option == 1 ? w.Text_From : w.Text_Error)->setText(first);
    w.Text_To->setText(second);
    (option == 1 ? w.Command_Dates : w.Command_Error)->click();
    return f.dialogs.messages;
}

Messages afterSavingOverAFile(const kestrava::BuildProfile& profile)
{
    WindowFixture f(profile);
    f.openThroughMenu(f.writeFile(QStringLiteral("a.xls"), orvSample(3)));
    f.dialogs.saveAnswer = f.writeFile(QStringLiteral("old.pfd"), "own file");
    f.window->Menu_SaveFile_Click();
    return f.dialogs.messages;
}

Messages afterAPrinterFault(const kestrava::BuildProfile& profile)
{
    WindowFixture f(profile);
    f.loadWithoutListing(QStringLiteral("a.xls"), orvSample(3));
    f.dialogs.acceptPrinter = true;
    f.printers.failOperation = 5;
    f.window->Menu_PrintRecords_Click();
    return f.dialogs.messages;
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
    QString text;  // the start of the text
    QString title;
    MessageIcon icon;
};

struct Case {
    const char* what;
    std::function<Messages(const kestrava::BuildProfile&)> raise;
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
        const QString kestrava = QStringLiteral("Kestrava");
        const auto panel = [](const QString& text) { return Box{text, text, Exclamation}; };
        const Case cases[] = {
            {"refused kind", [](auto& p) { return afterOpening(p, "welds.XLS"); },
             {"Invalid file", kestrava, None}, panel("Niewlasciwy plik")},
            {"missing file", [](auto& p) { return afterOpening(p, "gone.xls", false); },
             {"Cannot read the file", kestrava, None}, panel("Nie mozna odczytac pliku")},
            {"From date", [](auto& p) { return afterFiltering(p, 1, "abc", "xyz"); },
             {"Invalid From Date", kestrava, None}, panel("Bledna data Od")},
            {"To date", [](auto& p) { return afterFiltering(p, 1, "01/01/2009", "31/04/2009"); },
             {"Invalid To Date", kestrava, None}, panel("Bledna data Do")},
            {"error number", [](auto& p) { return afterFiltering(p, 2, "E27"); },
             {"Invalid error code", kestrava, None}, panel("Niewlasciwy kod bledu")},
            {"save over a file", afterSavingOverAFile,
             {"This file name already exists!", "Save Error", Critical},
             {"Plik o takiej nazwie juz istnieje", "Blad zapisu", Critical}},
            {"printer fault", afterAPrinterFault,
             {"The printer reported an error. Printing was stopped.", "Print Records", Critical},
             {"Drukarka zglosila blad. Drukowanie przerwano.", "Drukuj dane", Critical}},
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
                QVERIFY2(shown[0].text.startsWith(box.text), qPrintable(where + ": " + shown[0].text));
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
