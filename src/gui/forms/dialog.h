// Dialog: the technical-support dialog of the Help menu: the logo, company name and
// contact lines of the brand the program is built for. A hidden button opens the
// decode form.
#pragma once

#include <QDialog>
#include <QPointer>

#include "core/settings/build_profile.h"

class QFrame;
class QLabel;
class QPushButton;
class Form_Decode;

class Dialog : public QDialog {
    Q_OBJECT

public:
    explicit Dialog(const kestrava::BuildProfile& profile, QWidget* parent = nullptr);

    // The decode form opened by Command_showdecode_Click, while it is open.
    Form_Decode* decodeForm() const;

public slots:
    void OKButton_Click();
    void Command_showdecode_Click();

public:
    QLabel* Picture_brenvik = nullptr;
    QLabel* Picture_teldrum = nullptr;
    QLabel* Picture_ombrek = nullptr;
    QLabel* Picture_sorvanta = nullptr;
    QFrame* Picture1 = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* Command_showdecode = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;

private:
    void Form_Load();

    kestrava::BuildProfile profile_;
    QPointer<Form_Decode> decodeForm_;
};
