// Every dialog, message box and file chooser the program shows goes through this
// interface, so that tests can answer them without real modal loops.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;
class QPrinter;

enum class MessageIcon { None, Exclamation, Critical, Information };

class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    // A message box with one OK button. Returns the answer code (1 for OK).
    virtual int message(QWidget* parent, const QString& text, const QString& title,
                        MessageIcon icon) = 0;

    // A question with Yes and No buttons, No preselected. true for Yes.
    virtual bool ask(QWidget* parent, const QString& text, const QString& title) = 0;

    // File choosers. filter uses the "Description|*.ext|Description|*.ext" form;
    // the first pair is preselected. nullopt when the user cancels. chosenType, when
    // given, receives the index of the pair selected when the Save dialog closed.
    virtual std::optional<QString> openFileName(QWidget* parent, const QString& title,
                                                const QString& filter,
                                                const QString& initialFolder) = 0;
    // Any number of existing files at once; nullopt when the user cancels.
    virtual std::optional<QStringList> openFileNames(QWidget* parent, const QString& title,
                                                     const QString& filter,
                                                     const QString& initialFolder) = 0;
    virtual std::optional<QString> saveFileName(QWidget* parent, const QString& title,
                                                const QString& filter, const QString& initialFolder,
                                                const QString& proposedName,
                                                int* chosenType = nullptr) = 0;

    // A folder chooser; nullopt when the user cancels.
    virtual std::optional<QString> folderName(QWidget* parent, const QString& title,
                                              const QString& initialFolder) = 0;

    // The print dialog; the printer chosen in it is set on printer. false on cancel.
    virtual bool choosePrinter(QWidget* parent, QPrinter* printer, const QString& title) = 0;
};

// The real dialogs of Qt.
class QtUserDialogs final : public UserDialogs {
public:
    int message(QWidget* parent, const QString& text, const QString& title,
                MessageIcon icon) override;
    bool ask(QWidget* parent, const QString& text, const QString& title) override;
    std::optional<QString> openFileName(QWidget* parent, const QString& title,
                                        const QString& filter,
                                        const QString& initialFolder) override;
    std::optional<QStringList> openFileNames(QWidget* parent, const QString& title,
                                             const QString& filter,
                                             const QString& initialFolder) override;
    std::optional<QString> saveFileName(QWidget* parent, const QString& title,
                                        const QString& filter, const QString& initialFolder,
                                        const QString& proposedName,
                                        int* chosenType = nullptr) override;
    std::optional<QString> folderName(QWidget* parent, const QString& title,
                                      const QString& initialFolder) override;
    bool choosePrinter(QWidget* parent, QPrinter* printer, const QString& title) override;
};

// "Encrypted Data (*.pfd)|*.pfd|Standard Data (*.xls)|*.xls" -> Qt's
// "Encrypted Data (*.pfd);;Standard Data (*.xls)".
QString qtFilterFromPairs(const QString& pairs);
