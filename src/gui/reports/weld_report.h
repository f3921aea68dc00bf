// The weld protocols and the handover report laid out on pages: a header on every
// page (the brand's logo and name, the report's title, the date printed, "page N of
// M"); for the protocols one block per weld, every field under its column name; for
// the handover report a cover with the error-code chart, the welds as a table whose
// column names head every page, then the protocols of the welds not E00.
//
// The welds are read again for each pass, so memory does not grow with their number.
// One routine lays the pages out both to count them and to paint them, so the count
// is the number painted. It may run off the window's thread (QImage, QPainter on a
// printer or a PDF writer); it shows nothing.
#pragma once

#include <QCoreApplication>
#include <QDate>
#include <QImage>
#include <QString>
#include <optional>

#include "core/files/file_result.h"
#include "core/protocol/handover_report.h"
#include "core/protocol/weld_source.h"
#include "core/settings/build_profile.h"

class QPagedPaintDevice;
class QPaintDevice;

struct WeldReportSetup {
    enum class Kind { Protocols, Handover };
    Kind kind = Kind::Protocols;
    kestrava::Language language = kestrava::Language::English;  // the field bytes' code page
    QString brandName;
    QImage logo;
    QDate printed;
    QString selection;  // what the welds are (the file, its filter, the lines), on the cover
};

class WeldReport {
    Q_DECLARE_TR_FUNCTIONS(WeldReport)

public:
    WeldReport(const kestrava::WeldSource& welds, WeldReportSetup setup);

    // Lays the report out for device (its page size and resolution) without painting
    // and gives the number of pages (0 for protocols of no weld). A fault reading the
    // welds (or Cancelled) gives none.
    kestrava::FileResult countPages(QPaintDevice& device, int& pages,
                                    const kestrava::Progress& progress = {});

    // Paints pages [fromPage, toPage] (1-based, inclusive; toPage 0: to the end) of
    // totalPages (from countPages) on device, whose painting is begun and ended here.
    // painterFailed is set when the device could not be painted on.
    kestrava::FileResult paint(QPagedPaintDevice& device, int totalPages, int fromPage, int toPage,
                               bool& painterFailed, const kestrava::Progress& progress = {});

    const std::optional<kestrava::ReportCover>& cover() const { return cover_; }

private:
    class Pass;
    kestrava::FileResult run(Pass& pass, const kestrava::Progress& progress);
    kestrava::FileResult gatherCover(const kestrava::Progress& progress);

    const kestrava::WeldSource& welds_;
    WeldReportSetup setup_;
    std::optional<kestrava::ReportCover> cover_;
};
