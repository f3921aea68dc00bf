// Dialog1: the copyright notice of the Help menu: a heading and three paragraphs.
#pragma once

#include <QDialog>

#include "core/settings/build_profile.h"

class QLabel;
class QPushButton;

class Dialog1 : public QDialog {
    Q_OBJECT

public:
    explicit Dialog1(kestrava::Language language, QWidget* parent = nullptr);

public slots:
    void OKButton_Click();

public:
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* OKButton = nullptr;

private:
    void Form_Load();

    kestrava::Language language_;
};
