// frmAbout: the about box of the Help menu: program icon, title, version, a one-line
// description, the rights notice, and a button that starts the system-information
// program.
#pragma once

#include <QDialog>
#include <array>

#include "gui/services/app_services.h"
#include "gui/app/shared_values.h"

class QFrame;
class QLabel;
class QPushButton;

class frmAbout : public QDialog {
    Q_OBJECT

public:
    // shared: the program-wide values (the language is read from them).
    // services: the adapters (dialogs and the system-information launcher used), all set.
    frmAbout(SharedValues& shared, const AppServices& services, QWidget* parent = nullptr);
    ~frmAbout() override;

public slots:
    void cmdOK_Click();
    void cmdSysInfo_Click();

public:
    void StartSysInfo();

    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    std::array<QFrame*, 2> Line1{};
    QLabel* lblDisclaimer = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;

private:
    void Form_Load();

    SharedValues& shared_;
    AppServices services_;
};
