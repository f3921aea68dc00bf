<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
<context>
    <name>ArchiveWindow</name>
    <message>
        <location filename="../src/gui/archive/archive_window.cpp" line="54"/>
        <source>Weld Archive</source>
        <translation>Archiwum zgrzewów</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window.cpp" line="82"/>
        <source>Open Archive...</source>
        <translation>Otwórz archiwum...</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window.cpp" line="86"/>
        <source>Import a Folder...</source>
        <translation>Importuj folder...</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window.cpp" line="94"/>
        <source>Archive:</source>
        <translation>Archiwum:</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window.cpp" line="113"/>
        <source>Machines (none chosen: all):</source>
        <translation>Zgrzewarki (bez wyboru: wszystkie):</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window.cpp" line="116"/>
        <source>From date:</source>
        <translation>Od daty:</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window.cpp" line="117"/>
        <source>To date:</source>
        <translation>Do daty:</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window.cpp" line="118"/>
        <source>Error codes:</source>
        <translation>Kody bledów:</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window.cpp" line="119"/>
        <source>Text:</source>
        <translation>Tekst:</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window.cpp" line="107"/>
        <source>Show</source>
        <translation>Pokaz</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window.cpp" line="84"/>
        <source>Import Files...</source>
        <translation>Importuj pliki...</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window.cpp" line="161"/>
        <source>Open the Download</source>
        <translation>Otwórz plik danych</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window.cpp" line="162"/>
        <source>Save as CSV...</source>
        <translation>Zapisz jako CSV...</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window.cpp" line="168"/>
        <source>Save as Excel Workbook...</source>
        <translation>Zapisz jako skoroszyt Excel...</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window.cpp" line="172"/>
        <source>Close Form</source>
        <translation>Zamknij okno</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window.cpp" line="227"/>
        <source>Opening the archive...</source>
        <translation>Otwieranie archiwum...</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window.cpp" line="238"/>
        <location filename="../src/gui/archive/archive_window_work.cpp" line="55"/>
        <source>The archive cannot be used.</source>
        <translation>Nie mozna uzyc archiwum.</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window.cpp" line="277"/>
        <source>Invalid From Date</source>
        <translation>Bledna data Od</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window.cpp" line="278"/>
        <source>Invalid To Date</source>
        <translation>Bledna data Do</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window.cpp" line="285"/>
        <source>Invalid error code</source>
        <translation>Niewlasciwy kod bledu</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window.cpp" line="310"/>
        <location filename="../src/gui/archive/archive_window.cpp" line="314"/>
        <location filename="../src/gui/archive/archive_window.cpp" line="366"/>
        <location filename="../src/gui/archive/archive_window_work.cpp" line="145"/>
        <location filename="../src/gui/archive/archive_window_work.cpp" line="168"/>
        <source>The archive cannot be read.</source>
        <translation>Nie mozna odczytac archiwum.</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window.cpp" line="318"/>
        <source>Welds selected: %1</source>
        <translation>Wybrane zgrzewy: %1</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window.cpp" line="319"/>
        <source>No archive here yet: import downloads to make it.</source>
        <translation>Archiwum jeszcze nie ma: zaimportuj pliki danych, aby je utworzyc.</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window.cpp" line="326"/>
        <source>Welds per month</source>
        <translation>Zgrzewy w miesiacu</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window.cpp" line="328"/>
        <source>Not E00 per month (%)</source>
        <translation>Inne niz E00 w miesiacu (%)</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window.cpp" line="333"/>
        <source>no date</source>
        <translation>bez daty</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window.cpp" line="360"/>
        <source>Choose a weld in the table first.</source>
        <translation>Najpierw wybierz zgrzew w tabeli.</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window.cpp" line="378"/>
        <source>Open Archive</source>
        <translation>Otwórz archiwum</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window.cpp" line="378"/>
        <source>Weld archive (*.sqlite)|*.sqlite|All files (*.*)|*.*</source>
        <translation>Archiwum zgrzewów (*.sqlite)|*.sqlite|Wszystkie pliki (*.*)|*.*</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window_work.cpp" line="20"/>
        <source>Import Files</source>
        <translation>Importuj pliki</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window_work.cpp" line="21"/>
        <source>Download files (*.xls *.pfd)|*.xls;*.pfd|All files (*.*)|*.*</source>
        <translation>Pliki danych (*.xls *.pfd)|*.xls;*.pfd|Wszystkie pliki (*.*)|*.*</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window_work.cpp" line="35"/>
        <source>Import a Folder</source>
        <translation>Importuj folder</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window_work.cpp" line="48"/>
        <source>Importing the downloads...</source>
        <translation>Importowanie plikow danych...</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window_work.cpp" line="63"/>
        <source>The import was cancelled: the files finished before are kept.</source>
        <translation>Import przerwany: pliki zaimportowane wczesniej zostaja w archiwum.</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window_work.cpp" line="64"/>
        <source>Files added: %1</source>
        <translation>Dodane pliki: %1</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window_work.cpp" line="65"/>
        <source>Welds added: %1</source>
        <translation>Dodane zgrzewy: %1</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window_work.cpp" line="66"/>
        <source>Welds already there: %1</source>
        <translation>Zgrzewy juz w archiwum: %1</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window_work.cpp" line="67"/>
        <source>Files not added: %1</source>
        <translation>Pliki niedodane: %1</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window_work.cpp" line="101"/>
        <source>This file name already exists!</source>
        <translation>Plik o takiej nazwie juz istnieje</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window_work.cpp" line="101"/>
        <location filename="../src/gui/archive/archive_window_work.cpp" line="110"/>
        <source>Save Error</source>
        <translation>Blad zapisu</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window_work.cpp" line="109"/>
        <source>Cannot write the file</source>
        <translation>Nie mozna zapisac pliku</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window_work.cpp" line="117"/>
        <source>Save as CSV</source>
        <translation>Zapisz jako CSV</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window_work.cpp" line="117"/>
        <source>CSV file (*.csv)|*.csv</source>
        <translation>Plik CSV (*.csv)|*.csv</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window_work.cpp" line="118"/>
        <source>welds.csv</source>
        <translation>zgrzewy.csv</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window_work.cpp" line="125"/>
        <location filename="../src/gui/archive/archive_window_work.cpp" line="160"/>
        <source>Saving the welds...</source>
        <translation>Zapisywanie zgrzewów...</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window_work.cpp" line="154"/>
        <source>Save as Excel Workbook</source>
        <translation>Zapisz jako skoroszyt Excel</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window_work.cpp" line="154"/>
        <source>Excel workbook (*.xlsx)|*.xlsx</source>
        <translation>Skoroszyt Excel (*.xlsx)|*.xlsx</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window_work.cpp" line="155"/>
        <source>welds.xlsx</source>
        <translation>zgrzewy.xlsx</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window_reports.cpp" line="34"/>
        <source>Weld Protocol</source>
        <translation>Protokol zgrzewania</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window_reports.cpp" line="37"/>
        <location filename="../src/gui/archive/archive_window_reports.cpp" line="45"/>
        <source>Save as PDF...</source>
        <translation>Zapisz jako PDF...</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window_reports.cpp" line="39"/>
        <location filename="../src/gui/archive/archive_window_reports.cpp" line="47"/>
        <source>Print...</source>
        <translation>Drukuj...</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window_reports.cpp" line="42"/>
        <source>Handover Report</source>
        <translation>Raport odbioru</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window_reports.cpp" line="82"/>
        <source>%1 more</source>
        <translation>i %1 innych</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window_reports.cpp" line="83"/>
        <source>machines %1</source>
        <translation>zgrzewarki %1</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window_reports.cpp" line="86"/>
        <source>dates %1 to %2</source>
        <translation>daty od %1 do %2</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window_reports.cpp" line="95"/>
        <source>errors %1</source>
        <translation>bledy %1</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window_reports.cpp" line="98"/>
        <source>text &quot;%1&quot;</source>
        <translation>tekst &quot;%1&quot;</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window_reports.cpp" line="122"/>
        <source>welds</source>
        <translation>zgrzewy</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/archive_window_reports.cpp" line="123"/>
        <source>The selection holds no weld.</source>
        <translation>Wybrane filtry nie obejmuja zadnego zgrzewu.</translation>
    </message>
</context>
<context>
    <name>DefaultPathForm</name>
    <message>
        <location filename="../src/gui/forms/default_path_form.cpp" line="138"/>
        <source>Set Default SAVE Directory</source>
        <translation>Ustaw domyslny katalog zapisu danych</translation>
    </message>
    <message>
        <location filename="../src/gui/forms/default_path_form.cpp" line="138"/>
        <source>Set Default OPEN Directory</source>
        <translation>Ustaw domyslny katalog odczytu danych</translation>
    </message>
    <message>
        <location filename="../src/gui/forms/default_path_form.cpp" line="139"/>
        <source>Select Default SAVE Directory</source>
        <translation>Wybierz domyslny katalog zapisu danych</translation>
    </message>
    <message>
        <location filename="../src/gui/forms/default_path_form.cpp" line="140"/>
        <source>Select Default OPEN Directory</source>
        <translation>Wybierz domyslny katalog odczytu danych</translation>
    </message>
    <message>
        <location filename="../src/gui/forms/default_path_form.cpp" line="141"/>
        <source>Select directory</source>
        <translation>Wybierz katalog</translation>
    </message>
    <message>
        <location filename="../src/gui/forms/default_path_form.cpp" line="142"/>
        <source>Close Form</source>
        <translation>Zamknij okno</translation>
    </message>
    <message>
        <location filename="../src/gui/forms/default_path_form.cpp" line="171"/>
        <source>Drive not available</source>
        <translation>Nosnik danych niedostepny</translation>
    </message>
    <message>
        <location filename="../src/gui/forms/default_path_form.cpp" line="171"/>
        <source>Drive error</source>
        <translation>Blad nosnika danych</translation>
    </message>
    <message>
        <location filename="../src/gui/forms/default_path_form.cpp" line="196"/>
        <source>The default directory could not be stored in %1.</source>
        <translation>Nie mozna zapisac domyslnego katalogu w pliku %1.</translation>
    </message>
    <message>
        <location filename="../src/gui/forms/default_path_form.cpp" line="201"/>
        <source>Settings Error</source>
        <translation>Blad ustawien</translation>
    </message>
</context>
<context>
    <name>Dialog</name>
    <message>
        <location filename="../src/gui/forms/dialog.cpp" line="138"/>
        <source>Technical Support</source>
        <translation>Pomoc techniczna</translation>
    </message>
    <message>
        <location filename="../src/gui/forms/dialog.cpp" line="139"/>
        <source>For help and support please contact:</source>
        <translation>Odnosnie pomocy i wsparcia technicznego prosze sie skontaktowac z:</translation>
    </message>
</context>
<context>
    <name>Dialog1</name>
    <message>
        <location filename="../src/gui/forms/dialog1.cpp" line="11"/>
        <source>Copyright (c) 2026 Brenvik</source>
        <translation>(c) 2026 Wszelkie prawa zastrzezone</translation>
    </message>
    <message>
        <location filename="../src/gui/forms/dialog1.cpp" line="12"/>
        <source>All rights in the content of this software, including its program code, texts, images and logos, belong to Brenvik.</source>
        <translation>Wszelkie prawa do zawartosci tego oprogramowania, w tym do kodu programu, tekstow, obrazow i logo, naleza do producenta tego oprogramowania.</translation>
    </message>
    <message>
        <location filename="../src/gui/forms/dialog1.cpp" line="15"/>
        <source>You may use the content of this software only for your own purposes, in connection with the welding machines and the download files it reads.</source>
        <translation>Uzytkownik moze korzystac z zawartosci tego oprogramowania wylacznie na wlasny uzytek, w zwiazku ze zgrzewarkami i plikami danych, ktore to oprogramowanie odczytuje.</translation>
    </message>
    <message>
        <location filename="../src/gui/forms/dialog1.cpp" line="18"/>
        <source>Any other use of the content, in particular copying, publishing or changing it in whole or in part, requires the prior written permission of Brenvik.</source>
        <translation>Kazde inne wykorzystanie zawartosci, w szczegolnosci jej kopiowanie, publikowanie lub zmienianie w calosci lub w czesci, wymaga uprzedniej pisemnej zgody producenta tego oprogramowania.</translation>
    </message>
    <message>
        <location filename="../src/gui/forms/dialog1.cpp" line="74"/>
        <source>Copyright Notice</source>
        <translation>Prawa autorskie</translation>
    </message>
</context>
<context>
    <name>FileReasons</name>
    <message>
        <location filename="../src/gui/app/file_reasons.cpp" line="14"/>
        <source>not a weld record file: the file is empty</source>
        <translation>to nie jest plik danych o zgrzewach: plik jest pusty</translation>
    </message>
    <message>
        <location filename="../src/gui/app/file_reasons.cpp" line="17"/>
        <source>not a weld record file: the first line does not start with a known column name</source>
        <translation>to nie jest plik danych o zgrzewach: pierwszy wiersz nie zaczyna sie od znanej nazwy kolumny</translation>
    </message>
    <message>
        <location filename="../src/gui/app/file_reasons.cpp" line="21"/>
        <source>not a weld record file: the first record has no date in field 3 or 4</source>
        <translation>to nie jest plik danych o zgrzewach: pierwszy rekord nie ma daty w polu 3 ani 4</translation>
    </message>
    <message>
        <location filename="../src/gui/app/file_reasons.cpp" line="55"/>
        <source>not a file or folder</source>
        <translation>to nie jest plik ani folder</translation>
    </message>
    <message>
        <location filename="../src/gui/app/file_reasons.cpp" line="58"/>
        <source>the folder could not be searched to its end</source>
        <translation>nie udalo sie przeszukac calego folderu</translation>
    </message>
    <message>
        <location filename="../src/gui/app/file_reasons.cpp" line="69"/>
        <source>not a regular file (a FIFO, device or socket)</source>
        <translation>to nie jest zwykly plik (FIFO, urzadzenie lub gniazdo)</translation>
    </message>
    <message>
        <location filename="../src/gui/app/file_reasons.cpp" line="73"/>
        <source>given more than once</source>
        <translation>podany wiecej niz raz</translation>
    </message>
    <message>
        <location filename="../src/gui/app/file_reasons.cpp" line="74"/>
        <source>the same file as %1</source>
        <translation>ten sam plik co %1</translation>
    </message>
    <message>
        <location filename="../src/gui/app/file_reasons.cpp" line="77"/>
        <source>not a download file: the name must end in xls or pfd</source>
        <translation>to nie jest plik danych: nazwa musi konczyc sie na xls lub pfd</translation>
    </message>
    <message>
        <location filename="../src/gui/app/file_reasons.cpp" line="80"/>
        <source>the same download as %1</source>
        <translation>te same dane co %1</translation>
    </message>
    <message>
        <location filename="../src/gui/app/file_reasons.cpp" line="85"/>
        <source>not enough memory to read this file</source>
        <translation>za malo pamieci, by odczytac ten plik</translation>
    </message>
    <message>
        <location filename="../src/gui/app/file_reasons.cpp" line="88"/>
        <source>the file changed while it was read</source>
        <translation>plik zmienil sie podczas odczytu</translation>
    </message>
    <message>
        <location filename="../src/gui/app/file_reasons.cpp" line="90"/>
        <source>line %1 is too long to list</source>
        <translation>wiersz %1 jest za dlugi, by go wyswietlic</translation>
    </message>
    <message>
        <location filename="../src/gui/app/file_reasons.cpp" line="92"/>
        <source>cannot be read</source>
        <translation>nie mozna odczytac pliku</translation>
    </message>
</context>
<context>
    <name>FilterPanel</name>
    <message>
        <location filename="../src/gui/window/filter_panel.cpp" line="106"/>
        <source>Filter Data!</source>
        <translation>Filtrowanie danych</translation>
    </message>
    <message>
        <location filename="../src/gui/window/filter_panel.cpp" line="107"/>
        <source>Show ALL Records</source>
        <translation>Pokaz wszystkie zgrzewy</translation>
    </message>
    <message>
        <location filename="../src/gui/window/filter_panel.cpp" line="108"/>
        <source>Selected Dates Only</source>
        <translation>Pokaz zgrzewy z wybranego okresu czasu</translation>
    </message>
    <message>
        <location filename="../src/gui/window/filter_panel.cpp" line="109"/>
        <source>Selected Error Only</source>
        <translation>Pokaz zgrzewy zakonczone bledem</translation>
    </message>
    <message>
        <location filename="../src/gui/window/filter_panel.cpp" line="110"/>
        <source>From: (dd/mm/yyyy)</source>
        <translation>Od (dd/mm/rrrr)</translation>
    </message>
    <message>
        <location filename="../src/gui/window/filter_panel.cpp" line="111"/>
        <source>To: (dd/mm/yyyy)</source>
        <translation>Do (dd/mm/rrrr)</translation>
    </message>
    <message>
        <location filename="../src/gui/window/filter_panel.cpp" line="112"/>
        <source>Error Number:</source>
        <translation>Numer Bledu</translation>
    </message>
    <message>
        <location filename="../src/gui/window/filter_panel.cpp" line="113"/>
        <source>Filter by error</source>
        <translation>Filtruj w/g bledu</translation>
    </message>
    <message>
        <location filename="../src/gui/window/filter_panel.cpp" line="114"/>
        <source>Filter by date</source>
        <translation>Filtruj w/g daty</translation>
    </message>
    <message>
        <location filename="../src/gui/window/filter_panel.cpp" line="214"/>
        <source>Invalid From Date</source>
        <translation>Bledna data Od</translation>
    </message>
    <message>
        <location filename="../src/gui/window/filter_panel.cpp" line="221"/>
        <source>Invalid To Date</source>
        <translation>Bledna data Do</translation>
    </message>
    <message>
        <location filename="../src/gui/window/filter_panel.cpp" line="239"/>
        <source>Invalid error code</source>
        <translation>Niewlasciwy kod bledu</translation>
    </message>
</context>
<context>
    <name>FindBar</name>
    <message>
        <location filename="../src/gui/view/find_bar.cpp" line="56"/>
        <source>Find:</source>
        <translation>Znajdz:</translation>
    </message>
    <message>
        <location filename="../src/gui/view/find_bar.cpp" line="57"/>
        <source>Next</source>
        <translation>Nastepny</translation>
    </message>
    <message>
        <location filename="../src/gui/view/find_bar.cpp" line="58"/>
        <source>Previous</source>
        <translation>Poprzedni</translation>
    </message>
    <message>
        <location filename="../src/gui/view/find_bar.cpp" line="59"/>
        <source>Close</source>
        <translation>Zamknij</translation>
    </message>
    <message>
        <location filename="../src/gui/view/find_bar.cpp" line="94"/>
        <source>Not found</source>
        <translation>Nie znaleziono</translation>
    </message>
</context>
<context>
    <name>FleetSummaryWindow</name>
    <message>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="100"/>
        <source>Fleet Summary</source>
        <translation>Podsumowanie folderu</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="130"/>
        <source>Files of the machine (double-click one to open it):</source>
        <translation>Pliki maszyny (dwuklik otwiera plik):</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="136"/>
        <source>Files not read:</source>
        <translation>Pliki nieodczytane:</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="288"/>
        <source>Files not read: %1</source>
        <translation>Pliki nieodczytane: %1</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="139"/>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="315"/>
        <source>Save as CSV</source>
        <translation>Zapisz jako CSV</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="143"/>
        <source>Close Form</source>
        <translation>Zamknij okno</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="198"/>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="359"/>
        <source>Serial number</source>
        <translation>Numer seryjny</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="198"/>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="359"/>
        <source>Family</source>
        <translation>Rodzina</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="198"/>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="359"/>
        <source>Files</source>
        <translation>Pliki</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="199"/>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="359"/>
        <source>Records</source>
        <translation>Zgrzewy</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="199"/>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="360"/>
        <source>First record</source>
        <translation>Pierwszy zgrzew</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="199"/>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="360"/>
        <source>Last record</source>
        <translation>Ostatni zgrzew</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="200"/>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="360"/>
        <source>Not E00</source>
        <translation>Inne niz E00</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="200"/>
        <source>Error codes</source>
        <translation>Kody bledów</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="258"/>
        <source>Not E00 (%)</source>
        <translation>Inne niz E00 (%)</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="266"/>
        <source>(no number) %1</source>
        <translation>(bez numeru) %1</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="315"/>
        <source>CSV file (*.csv)|*.csv</source>
        <translation>Plik CSV (*.csv)|*.csv</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="316"/>
        <source>fleet-summary.csv</source>
        <translation>podsumowanie.csv</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="343"/>
        <source>This file name already exists!</source>
        <translation>Plik o takiej nazwie juz istnieje</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="329"/>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="343"/>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="352"/>
        <source>Save Error</source>
        <translation>Blad zapisu</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="351"/>
        <source>Cannot write the file</source>
        <translation>Nie mozna zapisac pliku</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="291"/>
        <source>repeated records left out: %1</source>
        <translation>pominiete powtorzone zgrzewy: %1</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/fleet_summary_window.cpp" line="329"/>
        <source>Not enough memory to finish the summary.</source>
        <translation>Za malo pamieci, by dokonczyc podsumowanie.</translation>
    </message>
</context>
<context>
    <name>FormChart</name>
    <message>
        <location filename="../src/core/listing/machine_family.cpp" line="26"/>
        <source>E00 Weld OK</source>
        <translation>E00 Zgrzew prawidlowy</translation>
    </message>
    <message>
        <location filename="../src/core/listing/machine_family.cpp" line="27"/>
        <source>E20 Low output voltage</source>
        <translation>E20 Zbyt niskie napiecie wyjsciowe</translation>
    </message>
    <message>
        <location filename="../src/core/listing/machine_family.cpp" line="28"/>
        <source>E21 High output voltage</source>
        <translation>E21 Zbyt wysokie napiecie wyjsciowe</translation>
    </message>
    <message>
        <location filename="../src/core/listing/machine_family.cpp" line="29"/>
        <source>E22 Excess output voltage</source>
        <translation>E22 Przekroczone napiecie wyjsciowe</translation>
    </message>
    <message>
        <location filename="../src/core/listing/machine_family.cpp" line="30"/>
        <source>E23 Low output current</source>
        <translation>E23 Zbyt niski prad wyjsciowy</translation>
    </message>
    <message>
        <location filename="../src/core/listing/machine_family.cpp" line="31"/>
        <source>E24 Shorted turn in fitting</source>
        <translation>E24 Zwarte uzwojenia elektrozlaczki</translation>
    </message>
    <message>
        <location filename="../src/core/listing/machine_family.cpp" line="32"/>
        <source>E25 Stop button pressed</source>
        <translation>E25 Nacisnieto klawisz STOP</translation>
    </message>
    <message>
        <location filename="../src/core/listing/machine_family.cpp" line="33"/>
        <source>E26 Relay unlatched</source>
        <translation>E26 Przekaznik odblokowany</translation>
    </message>
    <message>
        <location filename="../src/core/listing/machine_family.cpp" line="34"/>
        <source>E27 Fitting open circuit</source>
        <translation>E27 Otwarty obwód elektrozlaczki</translation>
    </message>
    <message>
        <location filename="../src/core/listing/machine_family.cpp" line="35"/>
        <source>E127 Power failure</source>
        <translation>E127 Blad zasilania</translation>
    </message>
    <message>
        <location filename="../src/core/listing/machine_family.cpp" line="27"/>
        <source>E05 Low output voltage</source>
        <translation>E05 Zbyt niskie napiecie wyjsciowe</translation>
    </message>
    <message>
        <location filename="../src/core/listing/machine_family.cpp" line="28"/>
        <source>E06 High output voltage</source>
        <translation>E06 Zbyt wysokie napiecie wyjsciowe</translation>
    </message>
    <message>
        <location filename="../src/core/listing/machine_family.cpp" line="29"/>
        <source>E07 Excess output voltage</source>
        <translation>E07 Przekroczone napiecie wyjsciowe</translation>
    </message>
    <message>
        <location filename="../src/core/listing/machine_family.cpp" line="30"/>
        <source>E08 Connection fault</source>
        <translation>E08 Brak kontaktu z elektrozlaczka</translation>
    </message>
    <message>
        <location filename="../src/core/listing/machine_family.cpp" line="31"/>
        <source>E09 Low output current</source>
        <translation>E09 Zbyt niski prad wyjsciowy</translation>
    </message>
    <message>
        <location filename="../src/core/listing/machine_family.cpp" line="32"/>
        <source>E11 Stop button pressed</source>
        <translation>E11 Nacisnieto klawisz STOP</translation>
    </message>
    <message>
        <location filename="../src/core/listing/machine_family.cpp" line="33"/>
        <source>E16 Internal relay fault</source>
        <translation>E16 Awaria wewnetrznego przekaznika</translation>
    </message>
    <message>
        <location filename="../src/core/listing/machine_family.cpp" line="34"/>
        <source>E17 Output current surge</source>
        <translation>E17 Nagly wzrost pradu elektrozlaczki</translation>
    </message>
    <message>
        <location filename="../src/core/listing/machine_family.cpp" line="35"/>
        <source>E127 Loss of supply</source>
        <translation>E127 Zanik napiecia zasilania</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/form_chart.cpp" line="146"/>
        <source>Graph of Error Codes</source>
        <translation>Wykres kodów bledów</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/form_chart.cpp" line="214"/>
        <location filename="../src/gui/reports/weld_report.cpp" line="413"/>
        <source>Error Codes</source>
        <translation>Kody bledów</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/form_chart.cpp" line="147"/>
        <location filename="../src/gui/reports/weld_report.cpp" line="438"/>
        <source>Qty</source>
        <translation>Ile</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/form_chart.cpp" line="148"/>
        <location filename="../src/gui/reports/weld_report.cpp" line="439"/>
        <source>Error Description</source>
        <translation>Opis Bledu</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/form_chart.cpp" line="149"/>
        <source>Error code information for</source>
        <translation>Informacja odnosnie bledu</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/form_chart.cpp" line="150"/>
        <location filename="../src/gui/reports/form_chart.cpp" line="238"/>
        <source>Print Graph</source>
        <translation>Drukuj wykres</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/form_chart.cpp" line="151"/>
        <source>Close Form</source>
        <translation>Zamknij okno</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/form_chart.cpp" line="152"/>
        <location filename="../src/gui/reports/form_chart.cpp" line="257"/>
        <source>Save Chart as Image</source>
        <translation>Zapisz wykres jako obraz</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/form_chart.cpp" line="245"/>
        <source>The printer reported an error. Printing was stopped.</source>
        <translation>Drukarka zglosila blad. Drukowanie przerwano.</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/form_chart.cpp" line="289"/>
        <source>The picture %1 could not be saved.</source>
        <translation>Nie mozna zapisac obrazu %1.</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/form_chart.cpp" line="300"/>
        <source>The picture could not be drawn.</source>
        <translation>Nie mozna narysowac obrazu.</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/form_chart.cpp" line="259"/>
        <source>PNG Image (*.png)|*.png|SVG Image (*.svg)|*.svg</source>
        <translation>Obraz PNG (*.png)|*.png|Obraz SVG (*.svg)|*.svg</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/form_chart.cpp" line="275"/>
        <source>The file %1 already exists. Replace it?</source>
        <translation>Plik %1 juz istnieje. Zastapic go?</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/form_chart.cpp" line="218"/>
        <source>Serial number %1</source>
        <translation>Numer seryjny %1</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/form_chart.cpp" line="220"/>
        <source>File %1</source>
        <translation>Plik %1</translation>
    </message>
</context>
<context>
    <name>Kestrava_Main</name>
    <message>
        <location filename="../src/gui/window/kestrava_main_print.cpp" line="56"/>
        <source>The file %1 can no longer be read. Nothing was printed.</source>
        <translation>Nie mozna juz odczytac pliku %1. Nic nie wydrukowano.</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_print.cpp" line="61"/>
        <source>Line %1 of the file is too long to print. Nothing was printed.</source>
        <translation>Wiersz %1 pliku jest za dlugi do wydruku. Nic nie wydrukowano.</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main.cpp" line="295"/>
        <source>Summarise a Folder...</source>
        <translation>Podsumowanie folderu...</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_fleet.cpp" line="21"/>
        <source>Summarise a Folder</source>
        <translation>Wybierz folder do podsumowania</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_fleet.cpp" line="34"/>
        <source>Summarising the downloads...</source>
        <translation>Podsumowywanie plikow...</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_fleet.cpp" line="70"/>
        <location filename="../src/gui/window/kestrava_main_fleet.cpp" line="90"/>
        <source>Not enough memory to finish the summary.</source>
        <translation>Za malo pamieci, by dokonczyc podsumowanie.</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_fleet.cpp" line="76"/>
        <source>No download files (names ending in xls or pfd) are in this folder.</source>
        <translation>W tym folderze nie ma plikow danych (nazw konczacych sie na xls lub pfd).</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_open.cpp" line="61"/>
        <source>The file changed while it was read</source>
        <translation>Plik zmienil sie podczas odczytu</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_open.cpp" line="63"/>
        <location filename="../src/gui/window/kestrava_main_open.cpp" line="180"/>
        <source>Not enough memory for this file</source>
        <translation>Za malo pamieci dla tego pliku</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_open.cpp" line="65"/>
        <source>A line of the file is too long to list</source>
        <translation>Wiersz pliku jest za dlugi, by go wyswietlic</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_save.cpp" line="24"/>
        <source>Save Kestrava File</source>
        <translation>Zapisz plik danych</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_open.cpp" line="118"/>
        <location filename="../src/gui/window/kestrava_main_save.cpp" line="25"/>
        <source>Encrypted Data (*.pfd)|*.pfd|Standard Data (*.xls)|*.xls</source>
        <translation>Dane zaszyfrowane (*.pfd)|*.pfd|Dane niezaszyfrowane (*.xls)|*.xls</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_save.cpp" line="50"/>
        <source>Saving %1...</source>
        <translation>Zapisywanie pliku %1...</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_save.cpp" line="57"/>
        <source>This file name already exists!</source>
        <translation>Plik o takiej nazwie juz istnieje</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_save.cpp" line="43"/>
        <location filename="../src/gui/window/kestrava_main_save.cpp" line="57"/>
        <location filename="../src/gui/window/kestrava_main_save.cpp" line="83"/>
        <source>Save Error</source>
        <translation>Blad zapisu</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_save.cpp" line="69"/>
        <source>The loaded file could not be read:
%1</source>
        <translation>Nie mozna odczytac wczytanego pliku:
%1</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_save.cpp" line="75"/>
        <source>The work file could not be written:
%1</source>
        <translation>Nie mozna zapisac pliku roboczego:
%1</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_save.cpp" line="77"/>
        <source>The file could not be saved:
%1</source>
        <translation>Nie mozna zapisac pliku:
%1</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main.cpp" line="293"/>
        <location filename="../src/gui/window/kestrava_main_print.cpp" line="30"/>
        <source>Print Records</source>
        <translation>Drukuj dane</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_print.cpp" line="65"/>
        <source>The print copy %1 could not be written. Nothing was printed.</source>
        <translation>Nie mozna zapisac kopii do wydruku %1. Nic nie wydrukowano.</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_print.cpp" line="100"/>
        <source>The print copy %1 could not be read. Printing was stopped.</source>
        <translation>Nie mozna odczytac kopii do wydruku %1. Drukowanie przerwano.</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_print.cpp" line="103"/>
        <source>The printer reported an error. Printing was stopped.</source>
        <translation>Drukarka zglosila blad. Drukowanie przerwano.</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main.cpp" line="280"/>
        <source>Kestrava Analyser</source>
        <translation>Analizator danych o zgrzewach</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main.cpp" line="281"/>
        <location filename="../src/gui/window/kestrava_main_open.cpp" line="212"/>
        <source>No file loaded</source>
        <translation>Nie otwarto zadnego pliku</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main.cpp" line="283"/>
        <source>Close Program</source>
        <translation>Zakoncz</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main.cpp" line="284"/>
        <source>Copyright Information</source>
        <translation>Prawa autorskie</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main.cpp" line="285"/>
        <source>Set Default OPEN directory</source>
        <translation>Ustaw domyslny katalog odczytu danych</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main.cpp" line="286"/>
        <source>Set Default SAVE directory</source>
        <translation>Ustaw domyslny katalog zapisu danych</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main.cpp" line="287"/>
        <source>File</source>
        <translation>Plik</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main.cpp" line="288"/>
        <source>Graph</source>
        <translation>Wykres</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main.cpp" line="289"/>
        <source>Graph Data</source>
        <translation>Wykres danych</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main.cpp" line="290"/>
        <source>Help</source>
        <translation>Pomoc</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main.cpp" line="291"/>
        <source>Open File</source>
        <translation>Otwórz Plik</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main.cpp" line="292"/>
        <source>Print</source>
        <translation>Drukuj</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main.cpp" line="294"/>
        <source>Save File</source>
        <translation>Zapisz Plik</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main.cpp" line="298"/>
        <source>Technical Support</source>
        <translation>Pomoc techniczna</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main.cpp" line="299"/>
        <source>Version Information</source>
        <translation>Wersja oprogramowania</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_open.cpp" line="171"/>
        <source>Listing the records...</source>
        <translation>Tworzenie wykazu zgrzewow...</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_print.cpp" line="42"/>
        <source>Preparing the printout...</source>
        <translation>Przygotowanie wydruku...</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_print.cpp" line="79"/>
        <source>Counting the pages...</source>
        <translation>Liczenie stron wydruku...</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_print.cpp" line="93"/>
        <source>Printing the records...</source>
        <translation>Drukowanie zgrzewow...</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_open.cpp" line="117"/>
        <source>Open Kestrava File</source>
        <translation>Otwórz plik danych</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_open.cpp" line="132"/>
        <source>Invalid file</source>
        <translation>Niewlasciwy plik</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_open.cpp" line="171"/>
        <source>Decoding the file...</source>
        <translation>Odszyfrowywanie pliku...</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_open.cpp" line="66"/>
        <source>Cannot read the file</source>
        <translation>Nie mozna odczytac pliku</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_open.cpp" line="189"/>
        <source>Cannot write the working copy</source>
        <translation>Nie mozna zapisac kopii roboczej</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_open.cpp" line="190"/>
        <source>Cannot write the listing</source>
        <translation>Nie mozna zapisac wykazu zgrzewow</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_handover.cpp" line="20"/>
        <source>No spreadsheet program could be started for this file.</source>
        <translation>Nie mozna uruchomic arkusza kalkulacyjnego dla tego pliku</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_handover.cpp" line="22"/>
        <source>File has opened in Excel.</source>
        <translation>Plik otworzyl sie w Excelu</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_save.cpp" line="39"/>
        <source>%1 cannot be opened again as a download file. Save accepts names ending in .pfd (Encrypted Data) or .xls (Standard Data), or a name without an extension, which gets the one of the chosen file type.</source>
        <translation>Pliku %1 nie mozna by otworzyc ponownie jako pliku danych. Zapisac mozna plik o nazwie zakonczonej na .pfd (dane zaszyfrowane) lub .xls (dane niezaszyfrowane) albo o nazwie bez rozszerzenia, ktora otrzyma rozszerzenie wybranego typu pliku.</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_print.cpp" line="84"/>
        <source>This printout takes %1 pages. Print it?</source>
        <translation>Liczba stron wydruku: %1. Drukowac?</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_handover.cpp" line="26"/>
        <source>File has opened in %1.</source>
        <translation>Plik otworzyl sie w programie %1</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_handover.cpp" line="24"/>
        <source>The file has been handed to the program the system chose for it.</source>
        <translation>Plik przekazano do programu, ktory system przypisal do tego pliku</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_keys.cpp" line="92"/>
        <source>Recent Files</source>
        <translation>Ostatnie pliki</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_keys.cpp" line="117"/>
        <source>The file is no longer there; it has been taken off the list of recent files.</source>
        <translation>Pliku juz nie ma; usunieto go z listy ostatnich plikow.</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_filter.cpp" line="59"/>
        <source>dates %1 - %2</source>
        <translation>daty %1 - %2</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_filter.cpp" line="61"/>
        <source>error code %1</source>
        <translation>kod bledu %1</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_filter.cpp" line="64"/>
        <source>Filter: %1</source>
        <translation>Filtr: %1</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_fleet.cpp" line="40"/>
        <source>%1 of %2 files</source>
        <translation>pliki: %1 z %2</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_protocol.cpp" line="29"/>
        <source>Weld Protocol</source>
        <translation>Protokol zgrzewania</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_protocol.cpp" line="32"/>
        <location filename="../src/gui/window/kestrava_main_protocol.cpp" line="40"/>
        <source>Save as PDF...</source>
        <translation>Zapisz jako PDF...</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_protocol.cpp" line="35"/>
        <location filename="../src/gui/window/kestrava_main_protocol.cpp" line="43"/>
        <source>Print...</source>
        <translation>Drukuj...</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_protocol.cpp" line="37"/>
        <source>Handover Report</source>
        <translation>Raport odbioru</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_protocol.cpp" line="91"/>
        <source>lines %1 to %2 of the listing</source>
        <translation>wiersze %1 do %2 wykazu</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main_protocol.cpp" line="107"/>
        <source>The selected lines hold no weld.</source>
        <translation>Zaznaczone wiersze nie zawieraja zadnego zgrzewu.</translation>
    </message>
    <message>
        <location filename="../src/gui/window/kestrava_main.cpp" line="297"/>
        <source>Weld Archive...</source>
        <translation>Archiwum zgrzewów...</translation>
    </message>
</context>
<context>
    <name>ListingView</name>
    <message>
        <location filename="../src/gui/view/listing_view.cpp" line="151"/>
        <source>Copy</source>
        <translation>Kopiuj</translation>
    </message>
    <message>
        <location filename="../src/gui/view/listing_view.cpp" line="156"/>
        <source>Select All</source>
        <translation>Zaznacz wszystko</translation>
    </message>
</context>
<context>
    <name>QProgressDialog</name>
    <message>
        <location filename="../src/gui/archive/archive_window.cpp" line="57"/>
        <location filename="../src/gui/window/kestrava_main.cpp" line="102"/>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
</context>
<context>
    <name>WeldReport</name>
    <message>
        <location filename="../src/gui/reports/weld_report.cpp" line="223"/>
        <source>Weld Protocol</source>
        <translation>Protokol zgrzewania</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/weld_report.cpp" line="224"/>
        <location filename="../src/gui/reports/weld_report.cpp" line="368"/>
        <source>Handover Report</source>
        <translation>Raport odbioru</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/weld_report.cpp" line="228"/>
        <source>Printed %1</source>
        <translation>Wydrukowano %1</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/weld_report.cpp" line="230"/>
        <source>Page %1 of %2</source>
        <translation>Strona %1 z %2</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/weld_report.cpp" line="277"/>
        <location filename="../src/gui/reports/weld_report.cpp" line="315"/>
        <source>Download</source>
        <translation>Plik danych</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/weld_report.cpp" line="277"/>
        <location filename="../src/gui/reports/weld_report.cpp" line="317"/>
        <source>Machine</source>
        <translation>Maszyna</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/weld_report.cpp" line="278"/>
        <location filename="../src/gui/reports/weld_report.cpp" line="321"/>
        <source>Date and time</source>
        <translation>Data i godzina</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/weld_report.cpp" line="278"/>
        <location filename="../src/gui/reports/weld_report.cpp" line="323"/>
        <source>Error</source>
        <translation>Blad</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/weld_report.cpp" line="299"/>
        <source>no error field</source>
        <translation>brak pola bledu</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/weld_report.cpp" line="301"/>
        <source>unknown code</source>
        <translation>nieznany kod</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/weld_report.cpp" line="327"/>
        <source>Field %1</source>
        <translation>Pole %1</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/weld_report.cpp" line="343"/>
        <source>Weld protocol no. %1</source>
        <translation>Protokol zgrzewania nr %1</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/weld_report.cpp" line="370"/>
        <location filename="../src/gui/reports/weld_report.cpp" line="384"/>
        <source>Selection</source>
        <translation>Zakres</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/weld_report.cpp" line="371"/>
        <location filename="../src/gui/reports/weld_report.cpp" line="387"/>
        <source>Machines</source>
        <translation>Maszyny</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/weld_report.cpp" line="372"/>
        <location filename="../src/gui/reports/weld_report.cpp" line="406"/>
        <source>Period</source>
        <translation>Okres</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/weld_report.cpp" line="373"/>
        <location filename="../src/gui/reports/weld_report.cpp" line="407"/>
        <source>Welds</source>
        <translation>Zgrzewy</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/weld_report.cpp" line="374"/>
        <location filename="../src/gui/reports/weld_report.cpp" line="408"/>
        <source>Welds not E00</source>
        <translation>Zgrzewy inne niz E00</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/weld_report.cpp" line="390"/>
        <source>%1 (%2), welds: %3</source>
        <translation>%1 (%2), zgrzewy: %3</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/weld_report.cpp" line="397"/>
        <source>and %1 more</source>
        <translation>i %1 innych</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/weld_report.cpp" line="405"/>
        <source>%1 without a date</source>
        <translation>%1 bez daty</translation>
    </message>
</context>
<context>
    <name>WeldReportWriter</name>
    <message>
        <location filename="../src/gui/reports/weld_report_job.cpp" line="43"/>
        <source>Handover Report</source>
        <translation>Raport odbioru</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/weld_report_job.cpp" line="43"/>
        <source>Weld Protocol</source>
        <translation>Protokol zgrzewania</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/weld_report_job.cpp" line="71"/>
        <source>PDF Document (*.pdf)|*.pdf</source>
        <translation>Dokument PDF (*.pdf)|*.pdf</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/weld_report_job.cpp" line="79"/>
        <location filename="../src/gui/reports/weld_report_job.cpp" line="142"/>
        <source>The file %1 could not be written: %2</source>
        <translation>Nie mozna zapisac pliku %1: %2</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/weld_report_job.cpp" line="94"/>
        <source>The file %1 can no longer be read. Nothing was printed.</source>
        <translation>Nie mozna juz odczytac pliku %1. Nic nie wydrukowano.</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/weld_report_job.cpp" line="100"/>
        <source>Counting the pages...</source>
        <translation>Liczenie stron wydruku...</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/weld_report_job.cpp" line="114"/>
        <source>The report has %1 pages: the chosen pages are not in it.</source>
        <translation>Raport ma %1 stron: wybranych stron w nim nie ma.</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/weld_report_job.cpp" line="119"/>
        <source>This report takes %1 pages. Go on?</source>
        <translation>Ten raport zajmuje %1 stron. Kontynuowac?</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/weld_report_job.cpp" line="126"/>
        <source>Printing the report...</source>
        <translation>Drukowanie raportu...</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/weld_report_job.cpp" line="126"/>
        <source>Writing the report...</source>
        <translation>Zapisywanie raportu...</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/weld_report_job.cpp" line="136"/>
        <source>The printer reported an error. Printing was stopped.</source>
        <translation>Drukarka zglosila blad. Drukowanie przerwano.</translation>
    </message>
    <message>
        <location filename="../src/gui/reports/weld_report_job.cpp" line="137"/>
        <source>The file %1 could not be written.</source>
        <translation>Nie mozna zapisac pliku %1.</translation>
    </message>
</context>
<context>
    <name>WeldTableModel</name>
    <message>
        <location filename="../src/gui/archive/weld_table_model.cpp" line="132"/>
        <source>Serial number</source>
        <translation>Numer seryjny</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/weld_table_model.cpp" line="133"/>
        <source>Family</source>
        <translation>Rodzina</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/weld_table_model.cpp" line="134"/>
        <source>Date</source>
        <translation>Data</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/weld_table_model.cpp" line="135"/>
        <source>Error</source>
        <translation>Blad</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/weld_table_model.cpp" line="136"/>
        <source>Record</source>
        <translation>Zapis</translation>
    </message>
    <message>
        <location filename="../src/gui/archive/weld_table_model.cpp" line="137"/>
        <source>Download</source>
        <translation>Plik danych</translation>
    </message>
</context>
<context>
    <name>WorkFolder</name>
    <message>
        <location filename="../src/gui/app/work_folder.cpp" line="72"/>
        <source>Neither the program&apos;s folder (%1) nor the per-user folder (%2) can be written. The program keeps its work files there: no file can be opened or saved until one of them can be written.</source>
        <translation>Nie mozna zapisywac ani w folderze programu (%1), ani w folderze uzytkownika (%2). Program trzyma tam swoje pliki robocze: zaden plik nie moze byc otwarty ani zapisany, dopoki jeden z nich nie bedzie zapisywalny.</translation>
    </message>
</context>
<context>
    <name>frmAbout</name>
    <message>
        <location filename="../src/gui/forms/frm_about.cpp" line="126"/>
        <source>About %1</source>
        <translation>O Progamie %1</translation>
    </message>
    <message>
        <location filename="../src/gui/forms/frm_about.cpp" line="128"/>
        <source>Version %1</source>
        <translation>Wersja %1</translation>
    </message>
    <message>
        <location filename="../src/gui/forms/frm_about.cpp" line="129"/>
        <source>Kestrava Manager</source>
        <translation>Manager Kestrava</translation>
    </message>
    <message>
        <location filename="../src/gui/forms/frm_about.cpp" line="133"/>
        <source>System Info...</source>
        <translation>Informacja Systemowa</translation>
    </message>
    <message>
        <location filename="../src/gui/forms/frm_about.cpp" line="153"/>
        <location filename="../src/gui/forms/frm_about.cpp" line="157"/>
        <source>System Information Is Unavailable At This Time</source>
        <translation>Informacja systemowa jest w tym momencie niedostepna</translation>
    </message>
    <message>
        <location filename="../src/gui/forms/frm_about.cpp" line="158"/>
        <source>System Information</source>
        <translation>Informacja systemowa</translation>
    </message>
</context>
</TS>
