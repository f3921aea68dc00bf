// Kestrava_Main: construction, layout, captions, logos, activation, drops.
#include "gui/window/kestrava_main.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPixmap>
#include <QProgressDialog>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "gui/platform/fs_path.h"
#include "gui/reports/fleet_summary_window.h"
#include "gui/view/listing_view.h"
#include "gui/view/find_bar.h"
#include "gui/view/resize_follower.h"
#include "gui/window/window_style.h"

using namespace window_style;

namespace {

const QColor kLineGrey(128, 128, 128);
constexpr int kClientWidth = 920;
constexpr int kClientHeight = 665;

QFont listingFont()
{
    QFont font(QStringLiteral("Courier New"), 10);
    // Where Courier New is missing (Wine, a bare Linux), another fixed-pitch font keeps
    // the columns in line.
    font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"),
                      QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Consolas"),
                      QStringLiteral("Lucida Console")});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

QLabel* logo(QWidget* parent, const char* name, const char* image, int x, int y, int width,
             int height)
{
    auto* box = named(new QLabel(parent), name);
    box->setGeometry(x, y, width, height);
    box->setAlignment(Qt::AlignCenter);
    box->setPixmap(QPixmap(QString::fromLatin1(image)));
    box->setProperty("designX", x);
    return box;
}

// The first local file of a drag, or empty.
QString droppedFile(const QMimeData* mime)
{
    if (!mime || !mime->hasUrls())
        return {};
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile())
            return QDir::toNativeSeparators(url.toLocalFile());
    }
    return {};
}

}  // namespace

// The images are compiled into the window's static library; registering them here
// keeps the linker from dropping them.
static void registerImages()
{
    Q_INIT_RESOURCE(kestrava);
}

Kestrava_Main::Kestrava_Main(const kestrava::BuildProfile& profile, AppServices services,
                             QWidget* parent)
    : QMainWindow(parent), services_(std::move(services))
{
    shared_.profile = profile;
    Q_ASSERT(isComplete(services_));
    setObjectName(QStringLiteral("Kestrava_Main"));
    session_ = new DownloadSession(
        services_.workFolder,
        [this](const QString& label, const WorkRunner::Work& work) {
            return runLong(label, work);
        },
        this);
    registerImages();
    buildControls();
    buildMenus();
    runner_ = std::make_unique<WorkRunner>(this, QProgressDialog::tr("Cancel"));
    connectSession();
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    setAcceptDrops(true);
    Form_Load();
    buildKeys();
}

Kestrava_Main::~Kestrava_Main()
{
    closeFleetWindows();
    closeArchiveWindow();
}

void Kestrava_Main::buildControls()
{
    setWindowTitle(QStringLiteral("Kestrava Analyser"));
    setWindowIcon(QIcon(QStringLiteral(":/images/kestrava_icon.png")));
    setFont(windowDefaultFont());

    // At the design size every control has its design place; a larger window gives
    // the room to the listing, the filter panel stays at the bottom and the logo at
    // the panel's right end.
    auto* client = named(new QWidget(this), "client");
    paintBackground(client, kLightYellow);
    setCentralWidget(client);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(8, 8, kClientWidth - 913, kClientHeight - 649);
    layout->setSpacing(7);

    Line1 = named(new QFrame(client), "Line1");
    Line1->setGeometry(0, 0, kClientWidth, 1);
    paintBackground(Line1, kLineGrey);
    new ResizeFollower(client, [this](QSize size) { Line1->setGeometry(0, 0, size.width(), 1); });

    // A read-only view that never wraps: the listing's columns stay in line.
    Text1 = named(new ListingView(client), "Text1");
    Text1->setGeometry(8, 8, 905, 545);
    Text1->setFont(listingFont());
    // Drops are the window's (open the dropped file), not the text box's.
    Text1->setAcceptDrops(false);
    Text1->setPlainText(QStringLiteral("No file loaded"));
    Text1->setMinimumSize(200, 120);
    layout->addWidget(Text1, 1);

    Find_Bar = named(new FindBar(Text1, client), "Find_Bar");
    Find_Bar->hide();
    layout->addWidget(Find_Bar);

    Frame1 = new FilterPanel(shared_.language(), [this] { return busy(); }, client);
    layout->addWidget(Frame1);

    // Under the panel, the filters the listing shown was made with (empty for all
    // records): the option selected in the panel tells only of the last request.
    Label_FilterInForce = named(new QLabel(client), "Label_FilterInForce");
    Label_FilterInForce->setFont(verdana());
    Label_FilterInForce->setTextFormat(Qt::PlainText);
    Label_FilterInForce->setFixedHeight(QFontMetrics(verdana()).height() + 2);
    layout->addWidget(Label_FilterInForce);

    Picture_sorvantasmall =
        logo(Frame1, "Picture_sorvantasmall", ":/images/sorvanta_small.jpg", 768, 24, 129, 41);
    Picture_brenviksmall =
        logo(Frame1, "Picture_brenviksmall", ":/images/brenvik_small.bmp", 776, 24, 121, 49);
    Picture_teldrumsmall =
        logo(Frame1, "Picture_teldrumsmall", ":/images/teldrum_small.bmp", 776, 16, 121, 57);
    Picture_ombreksmall =
        logo(Frame1, "Picture_ombreksmall", ":/images/ombrek_small.bmp", 800, 16, 89, 57);
    new ResizeFollower(Frame1, [this](QSize size) {
        for (QLabel* picture : {Picture_sorvantasmall, Picture_brenviksmall, Picture_teldrumsmall,
                                Picture_ombreksmall})
            picture->move(picture->property("designX").toInt() + size.width() - 905, picture->y());
    });
}

void Kestrava_Main::buildMenus()
{
    auto action = [this](QMenu* menu, const char* name, const QString& caption,
                         void (Kestrava_Main::*slot)()) {
        auto* item = named(new QAction(caption, this), name);
        menu->addAction(item);
        connect(item, &QAction::triggered, this, slot);
        return item;
    };
    auto separator = [this](QMenu* menu, const char* name) {
        // A separator is a line only: a text would show as a section title in some styles.
        auto* item = named(new QAction(this), name);
        item->setSeparator(true);
        menu->addAction(item);
        return item;
    };

    Menu_File = named(menuBar()->addMenu(QStringLiteral("File")), "Menu_File");
    Menu_OpenFile = action(Menu_File, "Menu_OpenFile", QStringLiteral("&Open File"),
                           &Kestrava_Main::Menu_OpenFile_Click);
    Menu_SaveFile = action(Menu_File, "Menu_SaveFile", QStringLiteral("&Save File"),
                           &Kestrava_Main::Menu_SaveFile_Click);
    Menu_FleetSummary =
        action(Menu_File, "Menu_FleetSummary", QStringLiteral("Summarise a Folder..."),
               &Kestrava_Main::Menu_FleetSummary_Click);
#ifdef KESTRAVA_HAVE_ARCHIVE
    Menu_Archive = action(Menu_File, "Menu_Archive", QStringLiteral("Weld Archive..."),
                          &Kestrava_Main::Menu_Archive_Click);
#endif
    Menu_Sep_1 = separator(Menu_File, "Menu_Sep_1");
    Menu_DefaultLoad =
        action(Menu_File, "Menu_DefaultLoad", QStringLiteral("Set Default OPEN directory"),
               &Kestrava_Main::Menu_DefaultLoad_Click);
    Menu_DefaultSave =
        action(Menu_File, "Menu_DefaultSave", QStringLiteral("Set Default SAVE directory"),
               &Kestrava_Main::Menu_DefaultSave_Click);
    Menu_Sep_3 = separator(Menu_File, "Menu_Sep_3");
    Menu_Close = action(Menu_File, "Menu_Close", QStringLiteral("&Close Program"),
                        &Kestrava_Main::Menu_Close_Click);

    Menu_Print = named(menuBar()->addMenu(QStringLiteral("Print")), "Menu_Print");
    Menu_PrintRecords = action(Menu_Print, "Menu_PrintRecords", QStringLiteral("&Print Records"),
                               &Kestrava_Main::Menu_PrintRecords_Click);
    buildProtocolMenus();

    Menu_Graph = named(menuBar()->addMenu(QStringLiteral("Graph")), "Menu_Graph");
    Menu_GraphShow = action(Menu_Graph, "Menu_GraphShow", QStringLiteral("Graph Data"),
                            &Kestrava_Main::Menu_GraphShow_Click);

    Menu_Help = named(menuBar()->addMenu(QStringLiteral("Help")), "Menu_Help");
    Menu_Support = action(Menu_Help, "Menu_Support", QStringLiteral("Technical Support"),
                          &Kestrava_Main::Menu_Support_Click);
    Menu_Sep_2 = separator(Menu_Help, "Menu_Sep_2");
    Menu_Version = action(Menu_Help, "Menu_Version", QStringLiteral("Version Information"),
                          &Kestrava_Main::Menu_Version_Click);
    Menu_Copyright = action(Menu_Help, "Menu_Copyright", QStringLiteral("Copyright Information"),
                            &Kestrava_Main::Menu_Copyright_Click);
}

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
    const std::string& brand = shared_.profile.brandKey;
    QLabel* shown = nullptr;
    if (brand == "brenvik")
        shown = Picture_brenviksmall;
    else if (brand == "teldrum")
        shown = Picture_teldrumsmall;
    else if (brand == "ombrek")
        shown = Picture_ombreksmall;
    else if (brand == "sorvanta")
        shown = Picture_sorvantasmall;
    if (!shown)
        return;  // an unknown brand leaves all four logos as designed
    for (QLabel* picture :
         {Picture_brenviksmall, Picture_sorvantasmall, Picture_teldrumsmall, Picture_ombreksmall})
        picture->setVisible(picture == shown);
}

void Kestrava_Main::ApplyCaptions()
{
    if (shared_.language() == kestrava::Language::Other)
        return;  // design captions stay

    setWindowTitle(tr("Kestrava Analyser"));
    Text1->setPlainText(tr("No file loaded"));
    Frame1->applyCaptions();
    Menu_Close->setText(tr("Close Program"));
    Menu_Copyright->setText(tr("Copyright Information"));
    Menu_DefaultLoad->setText(tr("Set Default OPEN directory"));
    Menu_DefaultSave->setText(tr("Set Default SAVE directory"));
    Menu_File->setTitle(tr("File"));
    Menu_Graph->setTitle(tr("Graph"));
    Menu_GraphShow->setText(tr("Graph Data"));
    Menu_Help->setTitle(tr("Help"));
    Menu_OpenFile->setText(tr("Open File"));
    Menu_Print->setTitle(tr("Print"));
    Menu_PrintRecords->setText(tr("Print Records"));
    Menu_SaveFile->setText(tr("Save File"));
    Menu_FleetSummary->setText(tr("Summarise a Folder..."));
    if (Menu_Archive)
        Menu_Archive->setText(tr("Weld Archive..."));
    Menu_Support->setText(tr("Technical Support"));
    Menu_Version->setText(tr("Version Information"));
}

void Kestrava_Main::Form_Activate()
{
    // The listing is a fixed-column layout: Text1 never wraps its lines, and keeps
    // the fixed-pitch font in which the columns line up.
    Text1->setFont(listingFont());
}

bool Kestrava_Main::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::WindowActivate: Form_Activate(); break;
    case QEvent::Close:
        if (busy()) {
            // Closing during a long run stops the run first; the window closes after it.
            runner_->cancel();
            closeAfterRun_ = true;
            event->ignore();
            return true;
        }
        closeFleetWindows();
        closeArchiveWindow();
        break;
    case QEvent::DragEnter: {
        auto* drag = static_cast<QDragEnterEvent*>(event);
        if (!busy() && !droppedFile(drag->mimeData()).isEmpty()) {
            drag->acceptProposedAction();
            return true;
        }
        break;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString file = droppedFile(drop->mimeData());
        if (!busy() && !file.isEmpty()) {
            drop->acceptProposedAction();
            // Opened once the drop has finished, so the dragging program is not kept waiting.
            QTimer::singleShot(0, this, [this, file] { openPath(file); });
            return true;
        }
        break;
    }
    default: break;
    }
    return QMainWindow::event(event);
}

void Kestrava_Main::Menu_Close_Click()
{
    close();
}
