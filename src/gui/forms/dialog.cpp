#include "gui/forms/dialog.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/forms/form_decode.h"
#include "gui/app/program_images.h"
#include "gui/app/support_contacts.h"

namespace {

const QString kIntroduction = QStringLiteral("For help and support please contact:");
const QString kTitle = QStringLiteral("Technical Support");

// A brand's logo box: white background, the logo image, placed in the logo area.
QLabel* logoBox(QWidget* area, const QString& name, const QString& image, const QPoint& place)
{
    auto* box = new QLabel(area);
    box->setObjectName(name);
    box->setAutoFillBackground(true);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, Qt::white);
    box->setPalette(palette);
    box->setAlignment(Qt::AlignCenter);
    const QPixmap logo(image);
    box->setPixmap(logo);
    box->setGeometry(QRect(place, logo.size() + QSize(4, 4)));
    return box;
}

QLabel* contactLabel(QWidget* parent, const QString& name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont font = label->font();
    font.setPointSizeF(9.75);
    label->setFont(font);
    return label;
}

}  // namespace

Dialog::Dialog(const kestrava::BuildProfile& profile, QWidget* parent)
    : QDialog(parent), profile_(profile)
{
    setObjectName(QStringLiteral("Dialog"));
    setWindowTitle(kTitle);

    // The four logo boxes share the top left corner; the brand's own is left visible.
    auto* logoArea = new QWidget(this);
    logoArea->setObjectName(QStringLiteral("logoArea"));
    logoArea->setFixedSize(136, 68);
    registerProgramImages();
    Picture_brenvik = logoBox(logoArea, QStringLiteral("Picture_brenvik"),
                              QStringLiteral(":/images/brenvik_small.bmp"), QPoint(0, 0));
    Picture_teldrum = logoBox(logoArea, QStringLiteral("Picture_teldrum"),
                              QStringLiteral(":/images/teldrum_small.bmp"), QPoint(0, 0));
    Picture_ombrek = logoBox(logoArea, QStringLiteral("Picture_ombrek"),
                             QStringLiteral(":/images/ombrek_small.bmp"), QPoint(0, 0));
    Picture_sorvanta = logoBox(logoArea, QStringLiteral("Picture_sorvanta"),
                               QStringLiteral(":/images/sorvanta_small.jpg"), QPoint(0, 8));
    // A thin strip along the lower edge of the maker's logo box.
    Picture1 = new QFrame(Picture_brenvik);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(0, Picture_brenvik->height() - 3, Picture_brenvik->width(), 3);
    Picture1->setAutoFillBackground(true);
    QPalette stripPalette = Picture1->palette();
    stripPalette.setColor(QPalette::Window, QColor(0x1d, 0x3b, 0x6e));
    Picture1->setPalette(stripPalette);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);

    Command_showdecode = new QPushButton(QStringLiteral("show"), this);
    Command_showdecode->setObjectName(QStringLiteral("Command_showdecode"));
    Command_showdecode->setVisible(false);

    const SupportContact maker = makerContact();
    Label1 = contactLabel(this, QStringLiteral("Label1"), kIntroduction);
    Label2 = contactLabel(this, QStringLiteral("Label2"), maker.company);
    QFont bold = Label2->font();
    bold.setBold(true);
    Label2->setFont(bold);
    Label3 = contactLabel(this, QStringLiteral("Label3"), maker.telephone);
    Label4 = contactLabel(this, QStringLiteral("Label4"), maker.fax);
    Label5 = contactLabel(this, QStringLiteral("Label5"), maker.email);
    Label6 = contactLabel(this, QStringLiteral("Label6"), maker.web);

    auto* top = new QHBoxLayout;
    top->addWidget(logoArea, 0, Qt::AlignTop | Qt::AlignLeft);
    top->addStretch(1);
    top->addWidget(OKButton, 0, Qt::AlignTop);

    auto* contacts = new QGridLayout;
    contacts->addWidget(Label2, 0, 0);
    contacts->addWidget(Label3, 1, 0);
    contacts->addWidget(Label4, 2, 0);
    contacts->addWidget(Label5, 3, 0);
    contacts->addWidget(Label6, 4, 0);
    contacts->addWidget(Command_showdecode, 2, 1, Qt::AlignRight);
    contacts->setColumnStretch(0, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Label1);
    layout->addLayout(contacts);
    layout->addStretch(1);

    connect(OKButton, &QPushButton::clicked, this, &Dialog::OKButton_Click);
    connect(Command_showdecode, &QPushButton::clicked, this, &Dialog::Command_showdecode_Click);

    Form_Load();
}

void Dialog::Form_Load()
{
    if (const std::optional<SupportContact> contact = supportContactFor(profile_.brandKey)) {
        Label2->setText(contact->company);
        Label3->setText(contact->telephone);
        Label4->setText(contact->fax);
        Label5->setText(contact->email);
        Label6->setText(contact->web);
        const std::string& brand = profile_.brandKey;
        Picture_brenvik->setVisible(brand == "brenvik");
        Picture_teldrum->setVisible(brand == "teldrum");
        Picture_ombrek->setVisible(brand == "ombrek");
        Picture_sorvanta->setVisible(brand == "sorvanta");
    }

    if (profile_.language() == kestrava::Language::Other)
        return;  // the design captions stay
    setWindowTitle(tr("Technical Support"));
    Label1->setText(tr("For help and support please contact:"));
}

Form_Decode* Dialog::decodeForm() const
{
    return decodeForm_;
}

void Dialog::OKButton_Click()
{
    accept();
}

void Dialog::Command_showdecode_Click()
{
    // The support dialog goes away first; the decode form lives on its own, not modal,
    // and may outlast the main window.
    close();
    auto* form = new Form_Decode(profile_.language());
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->show();
    decodeForm_ = form;
}
