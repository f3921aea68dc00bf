// Form_Decode: converts a text into its character-code string (three digits per
// UTF-16 code unit) and rebuilds the text from that string. A modeless window with
// English texts only; it reads and writes no file and no shared value.
#pragma once

#include <QWidget>

#include "core/settings/build_profile.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class Form_Decode : public QWidget {
    Q_OBJECT

public:
    // codePageLanguage chooses the Windows code page in which Text1 shows the rebuilt
    // text (the build language's).
    explicit Form_Decode(kestrava::Language codePageLanguage, QWidget* parent = nullptr);

public slots:
    void Command_Convert_Click();

public:
    QLabel* Label1 = nullptr;
    QLineEdit* TextBox_Input = nullptr;
    QPushButton* Command_Convert = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* TextBox_converted = nullptr;
    QPlainTextEdit* TextBox_Output = nullptr;

private:
    kestrava::Language codePageLanguage_;
};
