// The forms that choose the folder the Open and Save dialogs start in: one design,
// two sets of texts. DefaultPathFormLOAD stores "defaultpathload.txt",
// DefaultPathFormSAVE stores "defaultpathsave.txt", both in the work folder.
#pragma once

#include <QDialog>

#include "gui/services/app_services.h"
#include "gui/app/shared_values.h"

class DirectoryList;
class DriveProvider;
class QComboBox;
class QLabel;
class QPushButton;
class UserDialogs;

enum class DefaultPathKind { Load, Save };

class DefaultPathForm : public QDialog {
    Q_OBJECT

public:
    // shared: the language is read from it.
    // services: work folder, dialogs and drives (all set).
    DefaultPathForm(DefaultPathKind kind, SharedValues& shared, const AppServices& services,
                    QWidget* parent = nullptr);
    ~DefaultPathForm() override;

    DefaultPathKind kind() const { return kind_; }
    // The settings file this form stores.
    QString settingsFile() const;

    // Controls, named as in the design (objectName is the same).
    QLabel* Label1 = nullptr;
    QComboBox* Drive1 = nullptr;
    DirectoryList* Dir1 = nullptr;
    QPushButton* CmdSelect = nullptr;
    QPushButton* Cmd_Close = nullptr;

    // The drive shown in Drive1 (empty when none is chosen).
    QString currentDrive() const;

public slots:
    void Drive1_Change();
    void CmdSelect_Click();
    void Cmd_Close_Click();

protected:
    void Form_Load();

private:
    void BuildControls();
    void ApplyCaptions();
    // Chooses drive in Drive1; a change runs Drive1_Change. false when it is not listed.
    bool SelectDrive(const QString& drive);

    DefaultPathKind kind_;
    SharedValues& shared_;
    AppServices services_;
    QStringList driveRoots_;
};
