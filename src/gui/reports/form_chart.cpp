#include "gui/reports/form_chart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QBuffer>
#include <QSaveFile>
#include <algorithm>

#include "gui/reports/bar_chart.h"
#include "gui/reports/error_description.h"
#include "gui/view/code_page.h"
#include "gui/app/default_folder.h"
#include "gui/app/download_session.h"
#include "gui/platform/printer_provider.h"
#include "gui/services/user_dialogs.h"

namespace {

// Design positions are in twips; the window is laid out at 15 twips a pixel.
QRect fromTwips(int left, int top, int width, int height)
{
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

QLabel* makeLabel(QWidget* parent, const char* name, const QRect& place)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setText(QLatin1String(name));  // design caption
    label->setGeometry(place);
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QRect& place)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setText(QLatin1String(name));  // design caption
    button->setGeometry(place);
    button->setAutoDefault(false);
    return button;
}

void setBoldPoints(QLabel* label, qreal points)
{
    QFont font = label->font();
    font.setPointSizeF(points);
    font.setBold(true);
    label->setFont(font);
}

}  // namespace

ChartValues ChartValues::of(const DownloadSession& session, kestrava::Language language)
{
    return {language, session.MachineFamily(), session.ErrorCodeTable(), session.MachineSerial(),
            session.LoadedFileTitle()};
}

FormChart::FormChart(const ChartValues& values, const AppServices& services, QWidget* parent)
    : QDialog(parent), services_(services), language_(values.language)
{
    Q_ASSERT(isComplete(services_));
    setObjectName(QStringLiteral("FormChart"));
    setWindowTitle(QStringLiteral("FormChart"));  // design caption
    setModal(true);
    setFixedSize(clientSize);
    QFont windowFont(QStringLiteral("MS Sans Serif"));
    windowFont.setPointSizeF(8.25);
    setFont(windowFont);
    proposedImageName_ =
        (values.LoadedFileTitle.isEmpty() ? QStringLiteral("chart") : values.LoadedFileTitle) +
        QStringLiteral(".png");
    buildControls();
    Form_Load(values);
}

void FormChart::buildControls()
{
    MSChart1 = new BarChartView(this);
    MSChart1->setObjectName(QStringLiteral("MSChart1"));
    MSChart1->setGeometry(fromTwips(120, 120, 9855, 6255));

    Label12 = makeLabel(this, "Label12", fromTwips(120, 6480, 375, 255));
    Label13 = makeLabel(this, "Label13", fromTwips(600, 6480, 1695, 255));
    setBoldPoints(Label12, 8.25);
    setBoldPoints(Label13, 8.25);

    static constexpr const char* countNames[10] = {
        "LabelCount0", "LabelCount1", "LabelCount2", "LabelCount3", "LabelCount4",
        "LabelCount5", "LabelCount6", "LabelCount7", "LabelCount8", "LabelCount9"};
    static constexpr const char* descriptionNames[10] = {"Label1", "Label2", "Label3", "Label4",
                                                         "Label5", "Label6", "Label7", "Label8",
                                                         "Label9", "Label10"};
    QLabel** descriptions[10] = {&Label1, &Label2, &Label3, &Label4, &Label5,
                                 &Label6, &Label7, &Label8, &Label9, &Label10};
    for (int i = 0; i < 10; ++i) {
        LabelCount[i] = makeLabel(this, countNames[i], fromTwips(120, 6720 + 240 * i, 375, 255));
        *descriptions[i] =
            makeLabel(this, descriptionNames[i], fromTwips(600, 6720 + 240 * i, 3255, 255));
    }

    Label11 = makeLabel(this, "Label11", fromTwips(3960, 7320, 4215, 375));
    LabelSerial = makeLabel(this, "LabelSerial", fromTwips(4920, 7800, 1695, 375));
    setBoldPoints(Label11, 12);
    setBoldPoints(LabelSerial, 12);

    Cmd_Print = makeButton(this, "Cmd_Print", fromTwips(8400, 6720, 1575, 855));
    Cmd_Close = makeButton(this, "Cmd_Close", fromTwips(8400, 7920, 1575, 855));
    // Beside Cmd_Close, under the serial number.
    Cmd_SaveImage = makeButton(this, "Cmd_SaveImage", fromTwips(6000, 8280, 2280, 495));
    connect(Cmd_Print, &QPushButton::clicked, this, &FormChart::Cmd_Print_Click);
    connect(Cmd_Close, &QPushButton::clicked, this, &FormChart::Cmd_Close_Click);
    connect(Cmd_SaveImage, &QPushButton::clicked, this, &FormChart::Cmd_SaveImage_Click);
}

std::array<QLabel*, 10> FormChart::descriptionLabels() const
{
    return {Label1, Label2, Label3, Label4, Label5, Label6, Label7, Label8, Label9, Label10};
}

void FormChart::Form_Load(const ChartValues& values)
{
    const kestrava::ErrorCodeTable* table =
        values.ErrorCodeTable ? &*values.ErrorCodeTable : nullptr;
    const QString serial = fromCodePage(QByteArray::fromStdString(values.MachineSerial), language_);

    LabelSerial->setText(serial);
    // Before any listing run the table is empty: the counts stay blank.
    for (int i = 0; i < 10; ++i)
        LabelCount[i]->setText(table ? QString::number((*table)[i].count) : QString());

    if (language_ != kestrava::Language::Other) {  // else the design captions stay
        // The descriptions go with the codes beside them. A listing run that found no
        // family leaves the table with its reset (ORV) codes, so those get the ORV texts;
        // with no listing run (none yet, or the file was handed over) there are no codes
        // and no descriptions.
        const auto labels = descriptionLabels();
        for (int i = 0; i < 10; ++i)
            labels[i]->setText(table ? describeError(values.MachineFamily, i) : QString());

        setWindowTitle(tr("Graph of Error Codes"));
        Label12->setText(tr("Qty"));
        Label13->setText(tr("Error Description"));
        Label11->setText(tr("Error code information for"));
        Cmd_Print->setText(tr("Print Graph"));
        Cmd_Close->setText(tr("Close Form"));
        Cmd_SaveImage->setText(tr("Save Chart as Image"));
    }
    fillChart(table, serial, values.LoadedFileTitle);
    fitTable();
}

void FormChart::fitTable()
{
    // The design column holds about four digits; a wider count widens it and moves the
    // descriptions right by as much. A description keeps at least its design width and
    // is never cut: a longer one widens its label, and the serial number's block beside
    // the table moves right to make room.
    int widest = LabelCount[0]->width();
    for (QLabel* label : LabelCount)
        widest = std::max(widest, label->fontMetrics().horizontalAdvance(label->text()) + 2);
    const int extra = widest - LabelCount[0]->width();
    for (QLabel* label : LabelCount)
        label->resize(widest, label->height());
    int right = 0;
    for (QLabel* label : descriptionLabels()) {
        QRect place = label->geometry().adjusted(extra, 0, 0, 0);
        place.setWidth(
            std::max(place.width(), label->fontMetrics().horizontalAdvance(label->text()) + 2));
        label->setGeometry(place);
        right = std::max(right, place.right());
    }
    Label13->setGeometry(Label13->geometry().translated(extra, 0));

    const int gap = 6;
    const int overlap = right + gap - Label11->x();
    if (overlap <= 0)
        return;
    // The block ends before the buttons; a text that no longer fits there is written
    // smaller, down to the window's own size.
    for (QLabel* label : {Label11, LabelSerial}) {
        QRect place = label->geometry().translated(overlap, 0);
        place.setRight(Cmd_Print->x() - gap);
        QFont font = label->font();
        while (font.pointSizeF() > 8.25 &&
               QFontMetrics(font).horizontalAdvance(label->text()) + 2 > place.width())
            font.setPointSizeF(std::max(8.25, font.pointSizeF() - 0.5));
        label->setFont(font);
        label->setGeometry(place);
    }
}

void FormChart::showListingFilter(const QString& filter)
{
    if (filter.isEmpty())
        return;
    BarChartData data = MSChart1->data();
    data.caption =
        data.caption.isEmpty() ? filter : data.caption + QStringLiteral("     ") + filter;
    MSChart1->setData(std::move(data));
}

void FormChart::fillChart(const kestrava::ErrorCodeTable* table, const QString& serial,
                          const QString& fileTitle)
{
    const bool texts = language_ != kestrava::Language::Other;
    BarChartData data;
    if (texts)
        data.title = tr("Error Codes");
    // The picture saved or printed on its own still says whose records it counts.
    QStringList caption;
    if (!serial.isEmpty())
        caption << (texts ? tr("Serial number %1").arg(serial) : serial);
    if (!fileTitle.isEmpty())
        caption << (texts ? tr("File %1").arg(fileTitle) : fileTitle);
    data.caption = caption.join(QStringLiteral("     "));
    if (table) {  // else an empty chart
        for (const kestrava::ErrorCodeRow& row : *table) {
            data.categories << QString::fromLatin1(row.label);
            data.values << double(row.count);
            data.valueTexts << QString::number(row.count);
        }
    }
    // Whole-number ticks: one per record up to ten, rounded steps above.
    data.bars = Qt::Vertical;
    data.wholeNumbers = true;
    MSChart1->setData(std::move(data));
}

void FormChart::Cmd_Print_Click()
{
    const bool texts = language_ != kestrava::Language::Other;
    const QString title = texts ? tr("Print Graph") : QString();
    PrinterProvider& printers = *services_.printers;
    const std::unique_ptr<QPrinter> printer = printers.makePrinter();
    if (!printer || !services_.dialogs->choosePrinter(this, printer.get(), title))
        return;
    // The whole client area, as shown on screen, on one page.
    if (!printers.printPicture(*printer, grab().toImage()) && texts)
        services_.dialogs->message(this, tr("The printer reported an error. Printing was stopped."),
                                   title, MessageIcon::Critical);
}

void FormChart::Cmd_Close_Click()
{
    close();
}

void FormChart::Cmd_SaveImage_Click()
{
    const bool texts = language_ != kestrava::Language::Other;
    const QString title = texts ? tr("Save Chart as Image") : QString();
    const std::optional<QString> chosen = services_.dialogs->saveFileName(
        this, title, texts ? tr("PNG Image (*.png)|*.png|SVG Image (*.svg)|*.svg") : QString(),
        startFolderFromSettings(services_.settingsFolder, QStringLiteral("defaultpathsave.txt")),
        proposedImageName_);
    if (!chosen)
        return;

    QString path = *chosen;
    const QString suffix = QFileInfo(path).suffix().toLower();
    const bool svg = suffix == QLatin1String("svg");
    if (!svg && suffix != QLatin1String("png"))
        path += QStringLiteral(".png");
    // Like Save File, an existing file is kept unless the user says to replace it.
    if (QFileInfo::exists(path) &&
        (!texts ||
         !services_.dialogs->ask(
             this,
             tr("The file %1 already exists. Replace it?").arg(QDir::toNativeSeparators(path)),
             title)))
        return;
    QByteArray picture;
    if (svg) {
        picture = barChartSvg(MSChart1->chartLayout());
    } else {
        QBuffer buffer(&picture);
        buffer.open(QIODevice::WriteOnly);
        barChartImage(MSChart1->chartLayout()).save(&buffer, "PNG");
    }
    const QString reason = writePicture(path, picture);
    if (!reason.isEmpty() && texts)
        services_.dialogs->message(this,
                                   tr("The picture %1 could not be saved.").arg(path) +
                                       QStringLiteral("\n\n") + reason,
                                   title, MessageIcon::Critical);
}

// The picture written whole beside its place and then put there, as Save File does: a
// full disk or a failing write leaves no part of a picture, and an older picture the
// user chose to replace stays whole. Returns the reason of a failure, else nothing.
QString FormChart::writePicture(const QString& path, const QByteArray& picture)
{
    if (picture.isEmpty())
        return tr("The picture could not be drawn.");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(picture) != picture.size() || !file.commit())
        return file.errorString();
    return {};
}
