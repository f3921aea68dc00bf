#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

#include "core/build_profile.h"
#include "gui/dialog.h"
#include "gui/dialog1.h"
#include "gui/form_decode.h"
#include "gui/frm_about.h"
#include "gui/kestrava_main.h"
#include "gui/system_info.h"
#include "gui/translations.h"
#include "support/quiet_messages.h"

namespace {

const char* const kBrands[] = {"brenvik", "teldrum", "ombrek", "sorvanta", "Brenvik", "acme"};
const char* const kLanguages[] = {"English", "Polish", "Klingon"};

// The Polish texts are written without diacritics, except for an occasional "ó".
bool plainPolish(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() > 127 && c != QChar(0x00F3))
            return false;
    return true;
}

QStringList contactLines(const Dialog& d)
{
    return {d.Label2->text(), d.Label3->text(), d.Label4->text(), d.Label5->text(), d.Label6->text()};
}

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

    // Every brand key in every language: the brand block by key, the captions by
    // language, the contact lines the same in every language.
    void supportDialog()
    {
        const QStringList known = {QStringLiteral("brenvik"), QStringLiteral("teldrum"),
                                   QStringLiteral("ombrek"), QStringLiteral("sorvanta")};
        QMap<QString, QStringList> linesOfBrand;
        for (const char* brand : kBrands) {
            const QString key = QString::fromLatin1(brand);
            for (const char* language : kLanguages) {
                const kestrava::BuildProfile profile{brand, language};
                installTranslations(profile.language());
                Dialog d(profile);
                // A known brand shows its own logo only; any other key leaves all four.
                for (const QString& logoBrand : known) {
                    auto* logo = d.findChild<QLabel*>(QStringLiteral("Picture_") + logoBrand);
                    QVERIFY(logo);
                    QVERIFY(!logo->pixmap().isNull());
                    QCOMPARE(!logo->isHidden(), !known.contains(key) || key == logoBrand);
                }
                const QStringList lines = contactLines(d);
                if (!linesOfBrand.contains(key))
                    linesOfBrand[key] = lines;
                QCOMPARE(lines, linesOfBrand[key]);  // not translated
                if (profile.language() == kestrava::Language::Polish) {
                    QCOMPARE(d.windowTitle(), QStringLiteral("Pomoc techniczna"));
                    QCOMPARE(d.Label1->text(),
                             QStringLiteral("Odnosnie pomocy i wsparcia technicznego prosze sie skontaktowac z:"));
                } else {  // English, and the design captions, which are the same
                    QCOMPARE(d.windowTitle(), QStringLiteral("Technical Support"));
                    QCOMPARE(d.Label1->text(), QStringLiteral("For help and support please contact:"));
                }
                QVERIFY(d.Command_showdecode->isHidden());
            }
            const QStringList& lines = linesOfBrand[key];
            QVERIFY2(lines[1].startsWith(QLatin1String("Tel: +")), brand);
            QVERIFY2(lines[2].startsWith(QLatin1String("Fax: +")), brand);
            // Fictional values: reserved example domains only, bare addresses.
            QVERIFY2(lines[3].contains(QRegularExpression(QStringLiteral("^[a-z]+@[a-z]+\\.example\\.(com|pl)$"))), brand);
            QVERIFY2(lines[4].contains(QRegularExpression(QStringLiteral("^www\\.[a-z]+\\.example\\.(com|pl)$"))), brand);
        }
        // Unknown keys (the comparison is case-sensitive) keep the maker's design block.
        QCOMPARE(linesOfBrand[QStringLiteral("acme")], linesOfBrand[QStringLiteral("brenvik")]);
        QCOMPARE(linesOfBrand[QStringLiteral("Brenvik")], linesOfBrand[QStringLiteral("brenvik")]);
        for (int a = 0; a < known.size(); ++a)
            for (int b = a + 1; b < known.size(); ++b)
                for (int line = 1; line < 5; ++line)
                    QVERIFY(linesOfBrand[known[a]][line] != linesOfBrand[known[b]][line]);
    }

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

    void copyrightDialog()
    {
        for (const char* language : kLanguages) {
            const kestrava::Language lang = kestrava::languageFromName(language);
            installTranslations(lang);
            Dialog1 d(lang);
            QCOMPARE(d.OKButton->text(), QStringLiteral("OK"));
            const QString paragraphs = d.Label2->text() + d.Label3->text() + d.Label4->text();
            for (QLabel* label : {d.Label2, d.Label3, d.Label4})
                QVERIFY(label->text().size() > 40);
            switch (lang) {
            case kestrava::Language::English:
                QCOMPARE(d.Label1->text(), QStringLiteral("Copyright Notice"));
                QVERIFY(d.windowTitle().contains(QLatin1String("Brenvik")));
                QVERIFY(d.Label2->text().contains(QLatin1String("Brenvik")));
                QVERIFY(d.Label4->text().contains(QLatin1String("Brenvik")));
                break;
            case kestrava::Language::Polish:
                QCOMPARE(d.Label1->text(), QStringLiteral("Prawa autorskie"));
                QVERIFY(d.windowTitle().contains(QLatin1String("2026")));
                QVERIFY(!paragraphs.contains(QLatin1String("Brenvik")));
                QVERIFY(paragraphs.contains(QLatin1String("producenta")));
                QVERIFY(plainPolish(paragraphs + d.windowTitle()));
                break;
            case kestrava::Language::Other: {
                // The design texts: the English ones, the heading with a trailing space.
                QCOMPARE(d.Label1->text(), QStringLiteral("Copyright Notice "));
                installTranslations(kestrava::Language::English);
                Dialog1 english(kestrava::Language::English);
                QCOMPARE(d.windowTitle(), english.windowTitle());
                QCOMPARE(paragraphs, english.Label2->text() + english.Label3->text() + english.Label4->text());
                break;
            }
            }
        }
    }

    void aboutBoxTexts()
    {
        NoSystemInfo noInfo;
        AppServices services;
        services.systemInfo = &noInfo;
        QString englishNotice;
        for (const char* language : {"English", "Polish", "Klingon"}) {
            SharedValues shared;
            shared.profile = {"sorvanta", language};
            installTranslations(shared.language());
            frmAbout about(shared, services);
            QCOMPARE(about.lblTitle->text(), QStringLiteral("Kestrava"));
            QCOMPARE(about.cmdOK->text(), QStringLiteral("OK"));
            QVERIFY(about.cmdOK->isDefault());
            QCOMPARE(about.findChild<QLabel*>(QStringLiteral("picIcon")), about.picIcon);
            QCOMPARE(about.picIcon->pixmap().size(), QSize(32, 32));
            const QStringList texts = {about.windowTitle(), about.lblVersion->text(),
                                       about.lblDescription->text(), about.cmdSysInfo->text()};
            switch (shared.language()) {
            case kestrava::Language::English:
                QCOMPARE(texts, (QStringList{"About Kestrava", "Version 2.2.1", "Kestrava Manager", "System Info..."}));
                englishNotice = about.lblDisclaimer->text();
                QVERIFY(englishNotice.contains(QLatin1String("Brenvik")));
                break;
            case kestrava::Language::Polish:
                QCOMPARE(texts, (QStringList{"O Progamie Kestrava", "Wersja 2.2.1", "Manager Kestrava",
                                             "Informacja Systemowa"}));
                QCOMPARE(about.lblDisclaimer->text(), QStringLiteral(" "));
                break;
            case kestrava::Language::Other:
                // Title and version in English; the rest keeps its design texts.
                QCOMPARE(texts, (QStringList{"About Kestrava", "Version 2.2.1", "Kestrava manager. ",
                                             "&System Info..."}));
                QCOMPARE(about.lblDisclaimer->text(), englishNotice);
                break;
            }
        }
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
