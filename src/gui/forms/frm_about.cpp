#include "gui/forms/frm_about.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPixmap>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/settings/build_profile.h"
#include "gui/app/program_images.h"
#include "gui/platform/system_info.h"
#include "gui/services/user_dialogs.h"

namespace {

const QString kApplicationTitle = QStringLiteral("Kestrava");
// The maker's rights notice: one line naming the maker and the year.
const QString kRightsNotice = QStringLiteral("Copyright (c) 2026 Brenvik. All rights reserved.");

QLabel* namedLabel(QWidget* parent, const QString& name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QFrame* etchedLine(QWidget* parent, const QString& name, const QColor& colour)
{
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::NoFrame);
    line->setFixedHeight(1);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, colour);
    line->setPalette(palette);
    return line;
}

}  // namespace

frmAbout::frmAbout(SharedValues& shared, const AppServices& services, QWidget* parent)
    : QDialog(parent), shared_(shared), services_(services)
{
    Q_ASSERT(isComplete(services_));

    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About MyApp"));

    picIcon = namedLabel(this, QStringLiteral("picIcon"), {});
    picIcon->setFixedSize(32, 32);
    registerProgramImages();
    picIcon->setPixmap(QPixmap(QStringLiteral(":/images/kestrava_icon.png")));

    lblTitle = namedLabel(this, QStringLiteral("lblTitle"), QStringLiteral("Application Title"));
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblVersion = namedLabel(this, QStringLiteral("lblVersion"), QStringLiteral("Version"));
    lblDescription =
        namedLabel(this, QStringLiteral("lblDescription"), QStringLiteral("Kestrava manager. "));
    Line1[0] = etchedLine(this, QStringLiteral("Line1_0"), QColor(128, 128, 128));
    Line1[1] = etchedLine(this, QStringLiteral("Line1_1"), Qt::white);
    lblDisclaimer = namedLabel(this, QStringLiteral("lblDisclaimer"), kRightsNotice);
    lblDisclaimer->setWordWrap(true);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblTitle);
    texts->addWidget(lblVersion);
    texts->addWidget(lblDescription);
    texts->addStretch(1);

    auto* top = new QHBoxLayout;
    top->addWidget(picIcon, 0, Qt::AlignTop);
    top->addLayout(texts, 1);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblDisclaimer, 1, Qt::AlignTop);
    bottom->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addWidget(Line1[0]);
    layout->addWidget(Line1[1]);
    layout->setSpacing(6);
    layout->addLayout(bottom);
    resize(420, 220);

    // OK is both the default and the cancel button: Escape closes the box as OK does.
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

    Form_Load();
}

frmAbout::~frmAbout() = default;

void frmAbout::Form_Load()
{
    const QString version =
        QString::fromUtf8(kestrava::programVersion().data(),
                          static_cast<qsizetype>(kestrava::programVersion().size()));
    // Title and version are set in English whatever the language; the language then
    // replaces what it has texts for.
    setWindowTitle(QStringLiteral("About ") + kApplicationTitle);
    lblVersion->setText(QStringLiteral("Version ") + version);
    lblTitle->setText(kApplicationTitle);

    const kestrava::Language language = shared_.language();
    if (language == kestrava::Language::Other)
        return;
    setWindowTitle(tr("About %1").arg(kApplicationTitle));
    lblTitle->setText(kApplicationTitle);
    lblVersion->setText(tr("Version %1").arg(version));
    lblDescription->setText(tr("Kestrava Manager"));
    // The Polish box blanks the rights notice.
    lblDisclaimer->setText(language == kestrava::Language::Polish ? QStringLiteral(" ")
                                                                  : kRightsNotice);
    cmdSysInfo->setText(tr("System Info..."));
    cmdOK->setText(QStringLiteral("OK"));
}

void frmAbout::cmdOK_Click()
{
    accept();
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::StartSysInfo()
{
    if (services_.systemInfo->start())
        return;  // the box stays open
    switch (shared_.language()) {
    case kestrava::Language::English:
        services_.dialogs->message(this, tr("System Information Is Unavailable At This Time"),
                                   kApplicationTitle, MessageIcon::None);
        break;
    case kestrava::Language::Polish: {
        services_.dialogs->message(this, tr("System Information Is Unavailable At This Time"),
                                   tr("System Information"), MessageIcon::Exclamation);
        break;
    }
    case kestrava::Language::Other: break;
    }
}
