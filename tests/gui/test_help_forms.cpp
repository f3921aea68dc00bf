// The Help menu: its forms shown modally, and the decode form the support dialog opens.
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "core/build_profile.h"
#include "gui/dialog.h"
#include "gui/form_decode.h"
#include "gui/kestrava_main.h"
#include "gui/system_info.h"
#include "gui/translations.h"
#include "support/quiet_messages.h"

namespace {

class NoSystemInfo final : public SystemInfoLauncher {
public:
    bool start() override { return false; }
};

}  // namespace

class HelpFormsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installQuietMessageHandler(); }
    void cleanup() { installTranslations(kestrava::Language::English); }

    void showDecodeOpensTheDecodeFormOnItsOwn()
    {
        installTranslations(kestrava::Language::Polish);
        QPointer<Form_Decode> form;
        {
            Dialog d(kestrava::BuildProfile{"sorvanta", "Polish"});
            d.show();
            d.Command_showdecode->click();
            QVERIFY(!d.isVisible());
            form = d.decodeForm();
            QVERIFY(form);
        }
        // The form outlives the support dialog, is not modal and has no owner.
        QVERIFY(form);
        QVERIFY(form->isVisible());
        QVERIFY(!form->isModal());
        QVERIFY(form->parent() == nullptr);
        QCOMPARE(form->windowTitle(), QStringLiteral("Form1"));
        // It works in the build's code page (1250 has the Polish letters).
        form->TextBox_Input->setText(QString(QChar(0x0142)));
        form->Command_Convert->click();
        QCOMPARE(form->Text1->text(), QString(QChar(0x0142)));
        // Closing it discards it.
        form->close();
        QTRY_VERIFY(form.isNull());
    }

    // The Help menu shows each form modally and returns when it closes.
    void helpMenuShowsModalForms()
    {
        installTranslations(kestrava::Language::Polish);
        NoSystemInfo noInfo;
        AppServices services;
        services.systemInfo = &noInfo;
        Kestrava_Main window(kestrava::BuildProfile{"sorvanta", "Polish"}, services);

        struct Step {
            void (Kestrava_Main::*command)();
            QString formName;
            QString title;
        };
        const Step steps[] = {
            {&Kestrava_Main::Menu_Support_Click, QStringLiteral("Dialog"), QStringLiteral("Pomoc techniczna")},
            {&Kestrava_Main::Menu_Version_Click, QStringLiteral("frmAbout"), QStringLiteral("O Progamie Kestrava")},
            {&Kestrava_Main::Menu_Copyright_Click, QStringLiteral("Dialog1"), QString()},
        };
        for (const Step& step : steps) {
            QString seenName, seenTitle;
            bool seenModal = false;
            QTimer::singleShot(0, this, [&] {
                QWidget* modal = QApplication::activeModalWidget();
                if (!modal)
                    return;
                seenName = modal->objectName();
                seenTitle = modal->windowTitle();
                seenModal = modal->isModal();
                modal->close();
            });
            (window.*step.command)();
            QCOMPARE(seenName, step.formName);
            QVERIFY(seenModal);
            if (!step.title.isEmpty())
                QCOMPARE(seenTitle, step.title);
        }
    }
};

QTEST_MAIN(HelpFormsTest)
#include "test_help_forms.moc"
