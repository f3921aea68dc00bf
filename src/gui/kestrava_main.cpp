#include "gui/kestrava_main.h"

#include <QApplication>
#include <QEvent>
#include <QPlainTextEdit>

#include "gui/user_dialogs.h"

Kestrava_Main::Kestrava_Main(const kestrava::BuildProfile& profile, AppServices services,
                             QWidget* parent)
    : QMainWindow(parent), services_(std::move(services))
{
    shared_.profile = profile;
    if (!services_.dialogs) {
        ownedDialogs_ = std::make_unique<QtUserDialogs>();
        services_.dialogs = ownedDialogs_.get();
    }
    setObjectName(QStringLiteral("Kestrava_Main"));
    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    setCentralWidget(Text1);
    Form_Load();
}

Kestrava_Main::~Kestrava_Main() = default;

void Kestrava_Main::Form_Load()
{
    ApplyBuildProfile();
}

void Kestrava_Main::ApplyBuildProfile()
{
    ShowBrandLogo();
    ApplyCaptions();
}

void Kestrava_Main::ShowBrandLogo()
{
}

void Kestrava_Main::ApplyCaptions()
{
}

void Kestrava_Main::Form_Activate()
{
}

bool Kestrava_Main::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QMainWindow::event(event);
}

void Kestrava_Main::Menu_Close_Click()
{
    close();
}
