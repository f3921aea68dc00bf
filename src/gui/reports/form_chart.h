// FormChart: the error-code chart of the last listing run. One bar per error code of
// the machine family, a table of the counts with the codes' descriptions beneath it,
// and the machine's serial number. The window can print itself and save its chart as
// a picture (PNG or SVG) that names the machine and the file.
#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <optional>
#include <string>

#include "core/listing/machine_family.h"
#include "core/settings/build_profile.h"
#include "gui/services/app_services.h"

class DownloadSession;

class BarChartView;
class QLabel;
class QPushButton;

// What the chart shows: the last listing run of the loaded download, read when the chart
// is made.
struct ChartValues {
    kestrava::Language language = kestrava::Language::English;
    kestrava::MachineFamily MachineFamily = kestrava::MachineFamily::Unknown;
    std::optional<kestrava::ErrorCodeTable> ErrorCodeTable;  // empty before any listing run
    std::string MachineSerial;  // bytes as they stand in the file (its code page)
    QString LoadedFileTitle;

    static ChartValues of(const DownloadSession& session, kestrava::Language language);
};

class FormChart : public QDialog {
    Q_OBJECT

public:
    // Reads values when it is created; nothing of them is kept afterwards.
    FormChart(const ChartValues& values, const AppServices& services, QWidget* parent = nullptr);

    // Design client area (twips 10215 x 9165 at 15 twips a pixel).
    static constexpr QSize clientSize{681, 611};

    // The filters the listing was made with, as the main window names them ("Filter:
    // dates ..."), added to the chart's caption: a saved or printed picture says what it
    // counts. Empty: all records.
    void showListingFilter(const QString& filter);

public slots:
    void Cmd_Print_Click();
    void Cmd_Close_Click();
    void Cmd_SaveImage_Click();

private:
    void Form_Load(const ChartValues& values);
    void buildControls();
    void fillChart(const kestrava::ErrorCodeTable* table, const QString& serial,
                   const QString& fileTitle);
    void fitTable();
    QString writePicture(const QString& path, const QByteArray& picture);

    AppServices services_;
    kestrava::Language language_;
    QString proposedImageName_;

public:
    // Controls, named as in the design (objectName is the same).
    BarChartView* MSChart1 = nullptr;
    std::array<QLabel*, 10> LabelCount{};  // objectName LabelCount0 .. LabelCount9
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* LabelSerial = nullptr;
    QPushButton* Cmd_Print = nullptr;
    QPushButton* Cmd_Close = nullptr;
    QPushButton* Cmd_SaveImage = nullptr;

    // Label1 .. Label10 in row order.
    std::array<QLabel*, 10> descriptionLabels() const;
};
