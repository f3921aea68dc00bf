// The captions of every form in English and Polish, and the brand's logo, as one walk
// over the forms.
#include <QtTest>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QtCharts/QChart>
#include <functional>
#include <memory>

#include "gui/default_path_form.h"
#include "gui/dialog.h"
#include "gui/dialog1.h"
#include "gui/form_chart.h"
#include "gui/frm_about.h"
#include "gui/listing_view.h"
#include "gui/system_info.h"
#include "gui/translations.h"
#include "support/fake_drive_provider.h"
#include "support/quiet_messages.h"
#include "support/window_fixture.h"

namespace {

// The title, then every label, button, group box, menu and action text in the order the
// widgets were made, each cut to its first 30 characters; empty texts and the widgets in
// skip (data, not captions) are left out.
QString captionsOf(QWidget* form, const QList<QObject*>& skip = {})
{
    QStringList out{form->windowTitle()};
    for (QObject* child : form->findChildren<QObject*>()) {
        if (skip.contains(child))
            continue;
        QString text;
        if (auto* label = qobject_cast<QLabel*>(child))
            text = label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(child))
            text = button->text();
        else if (auto* box = qobject_cast<QGroupBox*>(child))
            text = box->title();
        else if (auto* action = qobject_cast<QAction*>(child); action && !action->menu() && !action->isSeparator())
            text = action->text();
        else if (auto* menu = qobject_cast<QMenu*>(child))
            text = menu->title();
        if (!text.isEmpty())
            out << text.left(30);
    }
    return out.join(QLatin1Char('|'));
}

class NoSystemInfo final : public SystemInfoLauncher {
public:
    bool start() override { return false; }
};

QStringList visibleLogos(const QList<QLabel*>& logos)
{
    QStringList names;
    for (QLabel* logo : logos)
        if (!logo->isHidden())
            names << logo->objectName();
    return names;
}

}  // namespace

class CaptionsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installQuietMessageHandler(); }

    void everyFormInBothLanguages()
    {
        NoSystemInfo noInfo;
        FakeDriveProvider drives;
        AppServices services;
        services.systemInfo = &noInfo;
        services.drives = &drives;
        using Walk = std::function<QString(const kestrava::BuildProfile&, SharedValues&)>;
        const Walk forms[] = {
            [](auto& profile, auto&) {
                WindowFixture f(profile);
                return captionsOf(f.window.get(), {f.window->Text1});
            },
            [&](auto&, auto& shared) {
                DefaultPathForm form(DefaultPathKind::Save, shared, services);
                return captionsOf(&form);
            },
            [&](auto&, auto& shared) {
                DefaultPathForm form(DefaultPathKind::Load, shared, services);
                return captionsOf(&form);
            },
            [&](auto&, auto& shared) {
                FormChart form(shared, services);
                QList<QObject*> data{form.LabelSerial};
                for (QLabel* label : form.LabelCount)
                    data << label;
                for (QLabel* label : form.descriptionLabels())
                    data << label;
                return form.chart->title() + QLatin1Char('|') + captionsOf(&form, data);
            },
            [](auto& profile, auto&) {
                Dialog form(profile);
                return captionsOf(&form, {form.Label2, form.Label3, form.Label4, form.Label5, form.Label6});
            },
            [](auto& profile, auto&) {
                Dialog1 form(profile.language());
                return captionsOf(&form);
            },
            [&](auto&, auto& shared) {
                frmAbout form(shared, services);
                return captionsOf(&form);
            },
        };
        const QStringList english = {
            "Kestrava Analyser|Next|Previous|Find:|Filter Data!|Show ALL Records|Selected Dates Only|Selected Error Only|"
            "From: (dd/mm/yyyy)|To: (dd/mm/yyyy)|Filter by date|Error Number:|Filter by error|File|Print|"
            "Graph|Help|Open File|Save File|Set Default OPEN directory|Set Default SAVE directory|"
            "Close Program|Print Records|Graph Data|Technical Support|Version Information|"
            "Copyright Information|Recent Files",
            "Set Default SAVE Directory|Select Default SAVE Directory|Select directory|Close Form",
            "Set Default OPEN Directory|Select Default OPEN Directory|Select directory|Close Form",
            "Error Codes|Graph of Error Codes|Qty|Error Description|Error code information for|"
            "Print Graph|Close Form|Save Chart as Image",
            "Technical Support|OK|show|For help and support please co",
            "Copyright (c) 2026 Brenvik|Copyright Notice|All rights in the content of t|"
            "You may use the content of thi|Any other use of the content, |OK",
            "About Kestrava|Kestrava|Version 2.2.1|Kestrava Manager|Copyright (c) 2026 Brenvik. Al|OK|"
            "System Info...",
        };
        const QStringList polish = {
            "Analizator danych o zgrzewach|Nastepny|Poprzedni|Znajdz:|Filtrowanie danych|Pokaz wszystkie zgrzewy|"
            "Pokaz zgrzewy z wybranego okre|Pokaz zgrzewy zakonczone blede|Od (dd/mm/rrrr)|"
            "Do (dd/mm/rrrr)|Filtruj w/g daty|Numer Bledu|Filtruj w/g bledu|Plik|Drukuj|Wykres|Pomoc|"
            "Otwórz Plik|Zapisz Plik|Ustaw domyslny katalog odczytu|Ustaw domyslny katalog zapisu |"
            "Zakoncz|Drukuj dane|Wykres danych|Pomoc techniczna|Wersja oprogramowania|Prawa autorskie|Ostatnie pliki",
            "Ustaw domyslny katalog zapisu danych|Wybierz domyslny katalog zapis|Wybierz katalog|Zamknij Okno",
            "Ustaw domyslny katalog odczytu danych|Wybierz domyslny katalog odczy|Wybierz katalog|Zamknij Okno",
            "Kody bledów|Wykres kodów bledów|Ile|Opis Bledu|Informacja odnosnie bledu|Drukuj wykres|"
            "Zamknij okno|Zapisz wykres jako obraz",
            "Pomoc techniczna|OK|show|Odnosnie pomocy i wsparcia tec",
            "(c) 2026 Wszelkie prawa zastrzezone|Prawa autorskie|Wszelkie prawa do zawartosci t|"
            "Uzytkownik moze korzystac z za|Kazde inne wykorzystanie zawar|OK",
            "O Progamie Kestrava|Kestrava|Wersja 2.2.1|Manager Kestrava| |OK|Informacja Systemowa",
        };
        for (const auto& [profile, expected] : {std::pair{kEnglish, english}, std::pair{kPolish, polish}}) {
            installTranslations(profile.language());
            SharedValues shared;
            shared.profile = profile;
            for (std::size_t i = 0; i < std::size(forms); ++i)
                QCOMPARE(forms[i](profile, shared), expected.value(qsizetype(i)));
        }
        installTranslations(kestrava::Language::English);
    }

    // The brand's own logo only, in the window and in the support dialog, with the
    // brand's contact lines (not translated); any other key (the comparison is
    // case-sensitive) leaves all four logos and the maker's lines.
    void brandLogosAndContacts()
    {
        const auto shown = [](const char* brand, const char* language) {
            WindowFixture f({brand, language});
            Dialog d({brand, language});
            QStringList logos = visibleLogos(f.window->findChildren<QLabel*>(QRegularExpression("^Picture_")));
            logos += visibleLogos(d.findChildren<QLabel*>(QRegularExpression("^Picture_")));
            const QStringList contacts{d.Label2->text(), d.Label3->text(), d.Label4->text(),
                                       d.Label5->text(), d.Label6->text()};
            return std::pair{logos.join(QLatin1Char(' ')), contacts.join(QLatin1Char('|'))};
        };
        QSet<QString> seen;
        for (const char* brand : {"brenvik", "sorvanta", "teldrum", "ombrek"}) {
            const auto [logos, contacts] = shown(brand, "Polish");
            QCOMPARE(logos, QStringLiteral("Picture_%1small Picture_%1").arg(QString::fromLatin1(brand)));
            QCOMPARE(contacts, shown(brand, "English").second);
            seen.insert(contacts);
        }
        QCOMPARE(seen.size(), 4);
        for (const char* other : {"Sorvanta", "acme"}) {
            QCOMPARE(shown(other, "English").first.count(QLatin1Char(' ')), 7);
            QCOMPARE(shown(other, "English").second, shown("brenvik", "English").second);
        }
    }
};

QTEST_MAIN(CaptionsTest)
#include "test_captions.moc"
