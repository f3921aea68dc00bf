#include "gui/forms/default_path_form.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/settings/settings_file.h"
#include "core/files/system_error_text.h"
#include "gui/app/default_folder.h"
#include "gui/forms/directory_list.h"
#include "gui/platform/drive_provider.h"
#include "gui/platform/fs_path.h"
#include "gui/services/user_dialogs.h"
#include "gui/app/work_folder.h"

DefaultPathForm::DefaultPathForm(DefaultPathKind kind, SharedValues& shared,
                                 const AppServices& services, QWidget* parent)
    : QDialog(parent), kind_(kind), shared_(shared), services_(services)
{
    Q_ASSERT(isComplete(services_));
    BuildControls();
    Form_Load();
}

DefaultPathForm::~DefaultPathForm() = default;

QString DefaultPathForm::settingsFile() const
{
    const char* name = kind_ == DefaultPathKind::Save ? kestrava::kDefaultSaveFileName
                                                      : kestrava::kDefaultLoadFileName;
    return workFilePath(services_.settingsFolder, QString::fromLatin1(name));
}

void DefaultPathForm::BuildControls()
{
    const bool save = kind_ == DefaultPathKind::Save;
    setObjectName(save ? QStringLiteral("DefaultPathFormSAVE")
                       : QStringLiteral("DefaultPathFormLOAD"));
    setModal(true);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont labelFont = Label1->font();
    labelFont.setBold(true);
    labelFont.setPointSize(12);
    Label1->setFont(labelFont);

    Drive1 = new QComboBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Dir1 = new DirectoryList(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));

    CmdSelect = new QPushButton(this);
    CmdSelect->setObjectName(QStringLiteral("CmdSelect"));
    Cmd_Close = new QPushButton(this);
    Cmd_Close->setObjectName(QStringLiteral("Cmd_Close"));
    QFont buttonFont = CmdSelect->font();
    buttonFont.setBold(true);
    CmdSelect->setFont(buttonFont);
    Cmd_Close->setFont(buttonFont);
    // Enter belongs to the directory list (it opens a folder), not to a button.
    CmdSelect->setAutoDefault(false);
    Cmd_Close->setAutoDefault(false);

    // Design captions; ApplyCaptions replaces them for English and Polish.
    setWindowTitle(save ? QStringLiteral("Set Default SAVE Directory")
                        : QStringLiteral("Set Default OPEN Directory"));
    Label1->setText(save ? QStringLiteral("Select default SAVE directory.")
                         : QStringLiteral("Select default OPEN directory."));
    CmdSelect->setText(QStringLiteral("Select directory"));
    Cmd_Close->setText(QStringLiteral("Close Form"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(CmdSelect);
    buttons->addStretch(1);
    buttons->addWidget(Cmd_Close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Drive1);
    layout->addWidget(Dir1, 1);
    layout->addLayout(buttons);
    resize(380, 440);

    setTabOrder(Drive1, Dir1);
    setTabOrder(Dir1, Cmd_Close);
    setTabOrder(Cmd_Close, CmdSelect);

    driveRoots_ = services_.drives->drives();
    for (const QString& root : std::as_const(driveRoots_))
        Drive1->addItem(root, root);
    // No drive is chosen until the stored folder is applied, so that choosing its
    // drive always counts as a change.
    Drive1->setCurrentIndex(-1);
    connect(Drive1, &QComboBox::currentIndexChanged, this, &DefaultPathForm::Drive1_Change);
    connect(CmdSelect, &QPushButton::clicked, this, &DefaultPathForm::CmdSelect_Click);
    connect(Cmd_Close, &QPushButton::clicked, this, &DefaultPathForm::Cmd_Close_Click);
}

void DefaultPathForm::Form_Load()
{
    // The stored folder; without one (no file, an empty file, or a folder on no
    // listed drive) the form starts in the fallback folder.
    QString start =
        startFolderFromSettings(services_.settingsFolder, QFileInfo(settingsFile()).fileName());
    QString drive = driveOfPath(driveRoots_, start);
    if (start.isEmpty() || drive.isEmpty()) {
        start = fallbackStartFolder();
        drive = driveOfPath(driveRoots_, start);
    }
    SelectDrive(drive);

    // The stored folder itself, or, when it has gone, its nearest existing parent on
    // the same drive.
    if (currentDrive() == drive && !drive.isEmpty()) {
        QString folder = QDir::cleanPath(QDir::fromNativeSeparators(start));
        while (!Dir1->setPath(folder)) {
            const QString parent = QFileInfo(folder).path();
            if (parent == folder || driveOfPath(driveRoots_, parent) != drive)
                break;
            folder = parent;
        }
    }
    if (Dir1->path().isEmpty())
        Dir1->setPath(fallbackStartFolder());

    ApplyCaptions();
}

void DefaultPathForm::ApplyCaptions()
{
    if (shared_.language() == kestrava::Language::Other)
        return;
    const bool save = kind_ == DefaultPathKind::Save;
    setWindowTitle(save ? tr("Set Default SAVE Directory") : tr("Set Default OPEN Directory"));
    Label1->setText(save ? tr("Select Default SAVE Directory")
                         : tr("Select Default OPEN Directory"));
    CmdSelect->setText(tr("Select directory"));
    Cmd_Close->setText(tr("Close Form"));
}

QString DefaultPathForm::currentDrive() const
{
    return Drive1->currentData().toString();
}

bool DefaultPathForm::SelectDrive(const QString& drive)
{
    const int index = Drive1->findData(drive);
    if (index < 0)
        return false;
    Drive1->setCurrentIndex(index);
    return true;
}

void DefaultPathForm::Drive1_Change()
{
    const QString drive = currentDrive();
    if (drive.isEmpty())
        return;
    if (services_.drives->isReadable(drive)) {
        // A readable drive whose root still cannot be opened is left as it is.
        Dir1->setPath(drive);
        return;
    }
    if (shared_.language() == kestrava::Language::Other)
        return;  // no message; the drive list keeps the unavailable drive
    services_.dialogs->message(this, tr("Drive not available"), tr("Drive error"),
                               MessageIcon::Critical);
    // Back to the drive of the folder shown; choosing it runs this handler again,
    // which opens that drive's root.
    const QString shown = Dir1->path().isEmpty() ? fallbackStartFolder() : Dir1->path();
    const QString back = driveOfPath(driveRoots_, shown);
    if (!back.isEmpty() && back != drive)
        SelectDrive(back);
}

void DefaultPathForm::CmdSelect_Click()
{
    const QString folder = Dir1->path();
    const QByteArray bytes = folder.toLocal8Bit();
    kestrava::FileResult result;
    if (QString::fromLocal8Bit(bytes) != folder) {
        // The system's code page cannot hold this name: it would read back as another.
        result.fault = kestrava::FileFault::TargetWrite;
        result.path = settingsFile().toStdString();
    } else {
        result = kestrava::writeDefaultFolder(
            toFsPath(settingsFile()),
            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    }
    if (!result && shared_.language() != kestrava::Language::Other) {
        QString text = tr("The default directory could not be stored in %1.")
                           .arg(QDir::toNativeSeparators(settingsFile()));
        const std::string reason = kestrava::faultReasonText(result, shared_.language());
        if (!reason.empty())
            text += QLatin1Char('\n') + QString::fromLocal8Bit(reason.c_str());
        services_.dialogs->message(this, text, tr("Settings Error"), MessageIcon::Critical);
    }
    accept();
}

void DefaultPathForm::Cmd_Close_Click()
{
    reject();
}
