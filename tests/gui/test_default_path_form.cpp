// The default OPEN and SAVE folder forms, their directory list and the drives.
#include <QtTest>
#include <QtWidgets>

#include "gui/app/default_folder.h"
#include "gui/forms/default_path_form.h"
#include "gui/forms/directory_list.h"
#include "gui/platform/drive_provider.h"
#include "gui/app/translations.h"
#include "support/fake_drive_provider.h"
#include "support/scripted_dialogs.h"
#include "support/save_test_files.h"
#include "support/test_services.h"

namespace {

QString native(const QString& path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(path));
}

QListWidgetItem* entryFor(DirectoryList* list, const QString& folder)
{
    for (int i = 0; i < list->count(); ++i)
        if (DirectoryList::folderOf(list->item(i)) == native(folder))
            return list->item(i);
    return nullptr;
}

}  // namespace

class DefaultPathFormTest : public QObject {
    Q_OBJECT

    QTemporaryDir root;
    QString work, driveA, driveB;  // driveA and B: folders standing for two extra drives
    ScriptedDialogs dialogs;
    FakeDriveProvider drives;
    SharedValues shared;

    std::unique_ptr<DefaultPathForm> makeForm(DefaultPathKind kind,
                                              const char* language = "English")
    {
        installTranslations(kestrava::languageFromName(language));
        shared.profile = kestrava::BuildProfile{"sorvanta", language};
        auto form = std::make_unique<DefaultPathForm>(
            kind, shared,
            completeServices({.dialogs = &dialogs, .drives = &drives, .settingsFolder = work}));
        form->show();
        return QTest::qWaitForWindowExposed(form.get()) ? std::move(form) : nullptr;
    }

    QString settingsFile(const char* name = "defaultpathsave.txt") const
    {
        return QDir(work).filePath(QString::fromLatin1(name));
    }

private slots:
    void init()
    {
        QDir(root.path()).removeRecursively();
        work = root.filePath(QStringLiteral("work"));
        driveA = native(root.filePath(QStringLiteral("driveA")));
        driveB = native(root.filePath(QStringLiteral("driveB")));
        for (const QString& folder :
             {work, driveA + QStringLiteral("/Welds, 2023/May"), driveA + QStringLiteral("/Other"),
              driveB + QStringLiteral("/Sub")})
            QVERIFY(QDir().mkpath(folder));
        dialogs = ScriptedDialogs();
        drives = FakeDriveProvider();
        drives.driveList = {QDir::rootPath(), driveA, driveB};
        shared = SharedValues();
    }

    void cleanup() { installTranslations(kestrava::Language::English); }

    void storesTheOpenedFolderAndCloses()
    {
        // A stored folder with a comma in its name opens whole.
        const QString stored = native(driveA + QStringLiteral("/Welds, 2023"));
        const QString may = native(stored + QStringLiteral("/May"));
        QVERIFY(writeTestFile(settingsFile(), stored.toLocal8Bit() + "\r\n"));
        auto form = makeForm(DefaultPathKind::Save);
        QCOMPARE(form->currentDrive(), driveA);
        QCOMPARE(form->Dir1->path(), stored);

        // Highlighting a subfolder does not open it: the open folder is stored.
        QVERIFY(entryFor(form->Dir1, may));
        form->Dir1->setCurrentItem(entryFor(form->Dir1, may));
        QCOMPARE(form->Dir1->path(), stored);
        form->CmdSelect->click();
        QCOMPARE(readTestFile(settingsFile()), stored.toLocal8Bit() + "\r\n");

        // Enter opens the highlighted folder (and presses no button); a second store
        // replaces the line.
        form = makeForm(DefaultPathKind::Save);
        form->Dir1->setFocus();
        form->Dir1->setCurrentItem(entryFor(form->Dir1, may));
        QTest::keyClick(form->Dir1, Qt::Key_Return);
        QCOMPARE(form->Dir1->path(), may);
        QVERIFY(form->isVisible());
        form->CmdSelect->click();
        QCOMPARE(readTestFile(settingsFile()), may.toLocal8Bit() + "\r\n");

        // Double-click on a parent in the chain opens it; Close leaves the file as it was.
        form = makeForm(DefaultPathKind::Save);
        QVERIFY(entryFor(form->Dir1, driveA));
        const QPoint centre = form->Dir1->visualItemRect(entryFor(form->Dir1, driveA)).center();
        QTest::mouseClick(form->Dir1->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(form->Dir1->viewport(), Qt::LeftButton, {}, centre);
        QCOMPARE(form->Dir1->path(), driveA);
        form->Cmd_Close->click();
        QCOMPARE(form->result(), int(QDialog::Rejected));
        QCOMPARE(readTestFile(settingsFile()), may.toLocal8Bit() + "\r\n");
        // The OPEN form has a file of its own.
        QVERIFY(!QFile::exists(settingsFile("defaultpathload.txt")));
    }

    void readsMissingAndVanishedFolders()
    {
        // No file yet: the fallback folder.
        // (Windows names the drive "C:\\" when it lists it: letters of either case are one.)
        QCOMPARE(makeForm(DefaultPathKind::Load)->Dir1->path().toLower(),
                 native(fallbackStartFolder()).toLower());
        // A folder that has gone: its nearest existing parent.
        QVERIFY(writeTestFile(settingsFile("defaultpathload.txt"),
                              driveB.toLocal8Bit() + "/Sub/gone/too\r\n"));
        auto form = makeForm(DefaultPathKind::Load);
        QCOMPARE(form->currentDrive(), driveB);
        QCOMPARE(form->Dir1->path(), native(driveB + QStringLiteral("/Sub")));
    }

    void unavailableDrives()
    {
        const QString stored = native(driveA + QStringLiteral("/Other"));
        QVERIFY(writeTestFile(settingsFile(), stored.toLocal8Bit() + "\r\n"));
        drives.unreadable = {driveB};
        auto form = makeForm(DefaultPathKind::Save);

        // Reported, then back on the drive of the folder shown, at that drive's root.
        form->Drive1->setCurrentIndex(form->Drive1->findData(driveB));
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(form->currentDrive(), driveA);
        QCOMPARE(form->Dir1->path(), driveA);

        // Another language says nothing: the drive list keeps the drive, the directory
        // list does not move.
        form = makeForm(DefaultPathKind::Save, "Deutsch");
        form->Drive1->setCurrentIndex(form->Drive1->findData(driveB));
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(form->currentDrive(), driveB);
        QCOMPARE(form->Dir1->path(), stored);

        // A stored folder on a drive that cannot be read: reported, and the form starts
        // on a drive it can read.
        drives.unreadable = {driveA};
        form = makeForm(DefaultPathKind::Save);
        QCOMPARE(dialogs.messages.size(), 2);
        QVERIFY(!form->Dir1->path().isEmpty());
        QVERIFY(form->currentDrive() != driveA);
    }

    void driveOfPathTakesTheLongestWholeFolderMatch()
    {
        const QStringList list = {"/", "/media/usb", "/media/usb/inner"};
        QStringList found;
        for (const char* path : {"/media/usb", "/media/usb/a/b", "/media/usb2/a",
                                 "/media/usb/inner/x", "relative", ""})
            found << driveOfPath(list, QString::fromLatin1(path));
        QCOMPARE(found, (QStringList{"/media/usb", "/media/usb", "/", "/media/usb/inner", "", ""}));
    }

    void systemDrivesListTheRootAndOnlyMountedFolders()
    {
        SystemDriveProvider system;
        const QStringList list = system.drives();
        QVERIFY(!list.isEmpty());
#ifndef Q_OS_WIN
        QCOMPARE(list.first(), QStringLiteral("/"));
        QVERIFY(system.isReadable(QStringLiteral("/")));
        for (const QString& drive : list)
            QVERIFY2(!drive.startsWith(QLatin1String("/proc")) &&
                         !drive.startsWith(QLatin1String("/sys")),
                     qPrintable(drive));
        // A plain folder is no mounted volume: as a drive it cannot be read.
        QVERIFY(!system.isReadable(driveA));
#endif
        QVERIFY(!system.isReadable(root.filePath(QStringLiteral("no-such-drive"))));
    }
};

QTEST_MAIN(DefaultPathFormTest)
#include "test_default_path_form.moc"
