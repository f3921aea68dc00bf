<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL">
    <context>
        <name>DefaultPathForm</name>
        <message>
            <location filename="../src/gui/default_path_form.cpp" line="144" />
            <source>Set Default SAVE Directory</source>
            <translation>Ustaw domyslny katalog zapisu danych</translation>
        </message>
        <message>
            <location filename="../src/gui/default_path_form.cpp" line="144" />
            <source>Set Default OPEN Directory</source>
            <translation>Ustaw domyslny katalog odczytu danych</translation>
        </message>
        <message>
            <location filename="../src/gui/default_path_form.cpp" line="145" />
            <source>Select Default SAVE Directory</source>
            <translation>Wybierz domyslny katalog zapisu danych</translation>
        </message>
        <message>
            <location filename="../src/gui/default_path_form.cpp" line="146" />
            <source>Select Default OPEN Directory</source>
            <translation>Wybierz domyslny katalog odczytu danych</translation>
        </message>
        <message>
            <location filename="../src/gui/default_path_form.cpp" line="147" />
            <source>Select directory</source>
            <translation>Wybierz katalog</translation>
        </message>
        <message>
            <location filename="../src/gui/default_path_form.cpp" line="148" />
            <source>Close Form</source>
            <translation>Zamknij Okno</translation>
        </message>
        <message>
            <location filename="../src/gui/default_path_form.cpp" line="177" />
            <source>Drive not available</source>
            <translation>Nosnik danych niedostepny</translation>
        </message>
        <message>
            <location filename="../src/gui/default_path_form.cpp" line="178" />
            <source>Drive error</source>
            <translation>Blad nosnika danych</translation>
        </message>
        <message>
            <location filename="../src/gui/default_path_form.cpp" line="203" />
            <source>The default directory could not be stored in %1.</source>
            <translation>Nie mozna zapisac domyslnego katalogu w pliku %1.</translation>
        </message>
        <message>
            <location filename="../src/gui/default_path_form.cpp" line="207" />
            <source>Settings Error</source>
            <translation>Blad ustawien</translation>
        </message>
    </context>
    <context>
        <name>Dialog</name>
        <message>
            <location filename="../src/gui/dialog.cpp" line="140" />
            <source>Technical Support</source>
            <translation>Pomoc techniczna</translation>
        </message>
        <message>
            <location filename="../src/gui/dialog.cpp" line="141" />
            <source>For help and support please contact:</source>
            <translation>Odnosnie pomocy i wsparcia technicznego prosze sie skontaktowac z:</translation>
        </message>
    </context>
    <context>
        <name>Dialog1</name>
        <message>
            <location filename="../src/gui/dialog1.cpp" line="11" />
            <source>Copyright (c) 2026 Brenvik</source>
            <translation>(c) 2026 Wszelkie prawa zastrzezone</translation>
        </message>
        <message>
            <location filename="../src/gui/dialog1.cpp" line="12" />
            <source>All rights in the content of this software, including its program code, texts, images and logos, belong to Brenvik.</source>
            <translation>Wszelkie prawa do zawartosci tego oprogramowania, w tym do kodu programu, tekstow, obrazow i logo, naleza do producenta tego oprogramowania.</translation>
        </message>
        <message>
            <location filename="../src/gui/dialog1.cpp" line="16" />
            <source>You may use the content of this software only for your own purposes, in connection with the welding machines and the download files it reads.</source>
            <translation>Uzytkownik moze korzystac z zawartosci tego oprogramowania wylacznie na wlasny uzytek, w zwiazku ze zgrzewarkami i plikami danych, ktore to oprogramowanie odczytuje.</translation>
        </message>
        <message>
            <location filename="../src/gui/dialog1.cpp" line="20" />
            <source>Any other use of the content, in particular copying, publishing or changing it in whole or in part, requires the prior written permission of Brenvik.</source>
            <translation>Kazde inne wykorzystanie zawartosci, w szczegolnosci jej kopiowanie, publikowanie lub zmienianie w calosci lub w czesci, wymaga uprzedniej pisemnej zgody producenta tego oprogramowania.</translation>
        </message>
        <message>
            <location filename="../src/gui/dialog1.cpp" line="77" />
            <source>Copyright Notice</source>
            <translation>Prawa autorskie</translation>
        </message>
    </context>
    <context>
        <name>Kestrava_Main</name>
        <message>
            <location filename="../src/gui/kestrava_main_save.cpp" line="35" />
            <source>Save Kestrava File</source>
            <translation>Zapisz plik danych</translation>
        </message>
        <message>
            <location filename="../src/gui/kestrava_main_save.cpp" line="36" />
            <source>Encrypted Data (*.pfd)|*.pfd|Standard Data (*.xls)|*.xls</source>
            <translation>Dane zaszyfrowane (*.pfd)|*.pfd|Dane niezaszyfrowane (*.xls)|*.xls</translation>
        </message>
        <message>
            <location filename="../src/gui/kestrava_main_save.cpp" line="61" />
            <source>Cancel</source>
            <translation>Anuluj</translation>
        </message>
        <message>
            <location filename="../src/gui/kestrava_main_save.cpp" line="82" />
            <source>This file name already exists!</source>
            <translation>Plik o takiej nazwie juz istnieje</translation>
        </message>
        <message>
            <location filename="../src/gui/kestrava_main_save.cpp" line="82" />
            <location filename="../src/gui/kestrava_main_save.cpp" line="105" />
            <source>Save Error</source>
            <translation>Blad zapisu</translation>
        </message>
        <message>
            <location filename="../src/gui/kestrava_main_save.cpp" line="93" />
            <source>The loaded file could not be read:
%1</source>
            <translation>Nie mozna odczytac wczytanego pliku:
%1</translation>
        </message>
        <message>
            <location filename="../src/gui/kestrava_main_save.cpp" line="98" />
            <source>The work file could not be written:
%1</source>
            <translation>Nie mozna zapisac pliku roboczego:
%1</translation>
        </message>
        <message>
            <location filename="../src/gui/kestrava_main_save.cpp" line="100" />
            <source>The file could not be saved:
%1</source>
            <translation>Nie mozna zapisac pliku:
%1</translation>
        </message>
    </context>
    <context>
        <name>frmAbout</name>
        <message>
            <location filename="../src/gui/frm_about.cpp" line="130" />
            <source>About %1</source>
            <translation>O Progamie %1</translation>
        </message>
        <message>
            <location filename="../src/gui/frm_about.cpp" line="132" />
            <source>Version %1</source>
            <translation>Wersja %1</translation>
        </message>
        <message>
            <location filename="../src/gui/frm_about.cpp" line="133" />
            <source>Kestrava Manager</source>
            <translation>Manager Kestrava</translation>
        </message>
        <message>
            <location filename="../src/gui/frm_about.cpp" line="137" />
            <source>System Info...</source>
            <translation>Informacja Systemowa</translation>
        </message>
        <message>
            <location filename="../src/gui/frm_about.cpp" line="157" />
            <location filename="../src/gui/frm_about.cpp" line="162" />
            <source>System Information Is Unavailable At This Time</source>
            <translation>Informacja systemowa jest w tym momencie niedostepna</translation>
        </message>
        <message>
            <location filename="../src/gui/frm_about.cpp" line="163" />
            <source>System Information</source>
            <translation>Informacja systemowa</translation>
        </message>
    </context>
</TS>
