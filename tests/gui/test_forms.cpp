// The forms: every caption translated into Polish, the brand's logo and contacts, the
// decode form the support dialog opens.
#include <QtTest>
#include <QtWidgets>
#include <functional>

#include "core/settings/build_profile.h"
#include "gui/forms/default_path_form.h"
#include "gui/forms/dialog.h"
#include "gui/forms/dialog1.h"
#include "gui/reports/bar_chart.h"
#include "gui/reports/form_chart.h"
#include "gui/forms/form_decode.h"
#include "gui/forms/frm_about.h"
#include "gui/app/translations.h"
#include "support/fake_drive_provider.h"
#include "support/quiet_messages.h"
#include "support/window_fixture.h"

namespace {

// The title, then every label, button, group box, menu and action text in the order the
// widgets were made; empty texts and the widgets in skip (data, not captions) left out.
QStringList captionsOf(QWidget* form, const QList<QObject*>& skip = {})
{
    QStringList out{form->windowTitle()};
    for (QObject* child : form->findChildren<QObject*>()) {
        QString text;
        if (auto* label = qobject_cast<QLabel*>(child))
            text = label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(child))
            text = button->text();
        else if (auto* box = qobject_cast<QGroupBox*>(child))
            text = box->title();
        else if (auto* action = qobject_cast<QAction*>(child); action && !action->menu())
            text = action->text();
        else if (auto* menu = qobject_cast<QMenu*>(child))
            text = menu->title();
        if (!text.isEmpty() && !skip.contains(child))
            out << text;
    }
    return out;
}

QStringList visibleLogos(const QWidget& form)
{
    QStringList names;
    for (QLabel* logo : form.findChildren<QLabel*>(QRegularExpression("^Picture_")))
        if (!logo->isHidden())
            names << logo->objectName();
    return names;
}

}  // namespace

class FormsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installQuietMessageHandler(); }
    void cleanup() { installTranslations(kestrava::Language::English); }

    // The Polish captions stand where the English ones do and differ from them, but for
    // the few that are the same words.
    void everyFormIsTranslated()
    {
        FakeDriveProvider drives;
        const AppServices services = completeServices({.drives = &drives});
        QList<QStringList> captions[2];
        for (const auto& [index, profile] : {std::pair{0, kEnglish}, std::pair{1, kPolish}}) {
            installTranslations(profile.language());
            SharedValues shared;
            shared.profile = profile;
            WindowFixture f(profile);
            DefaultPathForm save(DefaultPathKind::Save, shared, services),
                load(DefaultPathKind::Load, shared, services);
            ChartValues values;
            values.language = profile.language();
            FormChart chart(values, services);
            const auto descriptions = chart.descriptionLabels();
            QList<QObject*> data(chart.LabelCount.begin(), chart.LabelCount.end());
            data << chart.LabelSerial << QList<QObject*>(descriptions.begin(), descriptions.end());
            Dialog support(profile);
            Dialog1 copyright(profile.language());
            frmAbout about(shared, services);
            captions[index] = {captionsOf(f.window.get(), {f.window->Text1}),
                               captionsOf(&save),
                               captionsOf(&load),
                               captionsOf(&chart, data) << chart.MSChart1->data().title,
                               captionsOf(&support, {support.Label2, support.Label3, support.Label4,
                                                     support.Label5, support.Label6}),
                               captionsOf(&copyright),
                               captionsOf(&about)};
        }
        const QStringList same = {"OK", "Kestrava", "show"};
        for (qsizetype i = 0; i < captions[0].size(); ++i) {
            QCOMPARE(captions[1][i].size(), captions[0][i].size());
            for (qsizetype k = 0; k < captions[0][i].size(); ++k)
                QVERIFY2(same.contains(captions[0][i][k]) || captions[1][i][k] != captions[0][i][k],
                         qPrintable(captions[0][i][k]));
        }
        QCOMPARE(captions[0][0].first(), QStringLiteral("Kestrava Analyser"));
    }

    // The brand's own logo only, in the window and in the support dialog, with the
    // brand's contact lines (not translated); any other key (the comparison is
    // case-sensitive) leaves all four logos and the maker's lines.
    void brandLogosAndContacts()
    {
        const auto shown = [](const char* brand, const char* language) {
            WindowFixture f({brand, language});
            Dialog d({brand, language});
            const QStringList contacts{d.Label2->text(), d.Label3->text(), d.Label4->text(),
                                       d.Label5->text(), d.Label6->text()};
            return std::pair{(visibleLogos(*f.window) + visibleLogos(d)).join(QLatin1Char(' ')),
                             contacts.join(QLatin1Char('|'))};
        };
        QSet<QString> seen;
        for (const char* brand : {"brenvik", "sorvanta", "teldrum", "ombrek"}) {
            const auto [logos, contacts] = shown(brand, "Polish");
            QCOMPARE(logos,
                     QStringLiteral("Picture_%1small Picture_%1").arg(QString::fromLatin1(brand)));
            QCOMPARE(contacts, shown(brand, "English").second);
            seen.insert(contacts);
        }
        QCOMPARE(seen.size(), 4);
        for (const char* other : {"Sorvanta", "acme"}) {
            QCOMPARE(shown(other, "English").first.count(QLatin1Char(' ')), 7);
            QCOMPARE(shown(other, "English").second, shown("brenvik", "English").second);
        }
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
            {kestrava::Language::English, QString(QChar(0x20AC)), "364", QString(QChar(0x016C)),
             "?"},
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
};

QTEST_MAIN(FormsTest)
#include "test_forms.moc"
