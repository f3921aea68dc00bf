// The Help menu: its forms shown modally, and the decode form the support dialog opens.
#include <QtTest>
#include <QtWidgets>

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
        QVERIFY(form && form->isVisible() && !form->isModal());
        form->close();
        QTRY_VERIFY(form.isNull());
    }

    // The codes, the text rebuilt from them, and that text in the code page (1250 has
    // the Polish letters, 1252 not; the euro sign keeps only "364", which is U+016C).
    void decodeFormConverts()
    {
        const QString word = QStringLiteral("Z") + QChar(0x0142);
        QString longText;  // far beyond a one-line box's usual 32767 characters
        for (int i = 0; i < 40000; ++i)
            longText += QChar(u'a' + i % 26);
        const struct {
            kestrava::Language codePage;
            QString input, codes, rebuilt, text1;
        } cases[] = {
            {kestrava::Language::English, "a\tb", "097009098", "a\tb", "a\tb"},
            {kestrava::Language::English, QString(QChar(0x20AC)), "364", QString(QChar(0x016C)), "?"},
            {kestrava::Language::Polish, word, "090322", word, word},
            {kestrava::Language::English, word, "090322", word, "Z?"},
            {kestrava::Language::English, longText, "097098099", longText, longText},
        };
        for (const auto& c : cases) {
            Form_Decode form(c.codePage);
            for (int press = 0; press < 2; ++press) {  // nothing accumulates
                form.TextBox_Input->setText(c.input);
                form.Command_Convert->click();
            }
            QCOMPARE(form.TextBox_Output->toPlainText().size(), c.input.size() * 3);
            QCOMPARE(form.TextBox_Output->toPlainText().left(9), c.codes);
            QCOMPARE(form.TextBox_converted->text(), c.rebuilt);
            QCOMPARE(form.Text1->text(), c.text1);
        }
    }

    // The Help menu shows each form modally and returns when it closes.
    void helpMenuShowsModalForms()
    {
        NoSystemInfo noInfo;
        AppServices services;
        services.systemInfo = &noInfo;
        Kestrava_Main window(kestrava::BuildProfile{"sorvanta", "Polish"}, services);

        const std::pair<void (Kestrava_Main::*)(), const char*> steps[] = {
            {&Kestrava_Main::Menu_Support_Click, "Dialog"},
            {&Kestrava_Main::Menu_Version_Click, "frmAbout"},
            {&Kestrava_Main::Menu_Copyright_Click, "Dialog1"},
        };
        for (const auto& [command, formName] : steps) {
            QString seen;
            QTimer::singleShot(0, this, [&] {
                if (QWidget* modal = QApplication::activeModalWidget()) {
                    seen = modal->objectName();
                    modal->close();
                }
            });
            (window.*command)();
            QCOMPARE(seen, QString::fromLatin1(formName));
        }
    }
};

QTEST_MAIN(HelpFormsTest)
#include "test_help_forms.moc"
