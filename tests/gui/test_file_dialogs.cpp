// The program's file dialogs never read the files they show to guess their type: a
// file whose reading never ends (/proc/kmsg, a FIFO behind a name) would block them for
// good. What the dialogs show of a file must come from its name alone.
#include <QtTest>
#include <QtWidgets>

#include "gui/services/user_dialogs.h"

class FileDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void theDialogsTellFileTypesByNameAlone()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows shows its own file dialogs, which Qt's icons do not reach");
#endif
        QTemporaryDir folder;
        // A PDF's first bytes under a name that says nothing: read, it would be a PDF.
        QFile file(folder.filePath(QStringLiteral("kmsg")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("%PDF-1.4\n%\xe2\xe3\xcf\xd3\n1 0 obj\n<< /Type /Catalog >>\nendobj\n");
        file.close();
        const QFileInfo info(file.fileName());
        QVERIFY(QMimeDatabase().mimeTypeForFile(info).name() == QLatin1String("application/pdf"));

        QtUserDialogs dialogs;
        QStringList types;
        for (int kind = 0; kind < 3; ++kind) {
            QTimer::singleShot(0, this, [&] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                if (!dialog)
                    return;
                const QAbstractFileIconProvider* icons = dialog->iconProvider();
                types << (icons ? icons->type(info) : QStringLiteral("<no icon provider>"));
                dialog->reject();
            });
            if (kind == 0)
                QVERIFY(!dialogs.openFileName(nullptr, QStringLiteral("Open"),
                                              QStringLiteral("Data|*.xls"), folder.path()));
            else if (kind == 1)
                QVERIFY(!dialogs.saveFileName(nullptr, QStringLiteral("Save"),
                                              QStringLiteral("Data|*.xls"), folder.path(),
                                              QStringLiteral("x.xls"), nullptr));
            else
                QVERIFY(!dialogs.folderName(nullptr, QStringLiteral("Folder"), folder.path()));
        }
        QCOMPARE(types.size(), 3);
        for (const QString& type : types)
            QVERIFY2(!type.contains(QLatin1String("PDF"), Qt::CaseInsensitive) &&
                         !type.startsWith(QLatin1Char('<')),
                     qPrintable(type));
    }
};

QTEST_MAIN(FileDialogsTest)
#include "test_file_dialogs.moc"
