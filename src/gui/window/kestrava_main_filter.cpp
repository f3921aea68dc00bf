// The filter line under the panel, and the listeners of the loaded download and of the
// filter panel: what the window shows after a listing run, and the listing the panel
// asks for.
#include "gui/window/kestrava_main.h"

#include <QLabel>
#include <QStringList>
#include <chrono>

#include "core/settings/regional.h"
#include "gui/view/find_bar.h"

namespace {

QString dayText(kestrava::Day day)
{
    const std::chrono::year_month_day date(day);
    return QStringLiteral("%1/%2/%3")
        .arg(unsigned(date.day()), 2, 10, QLatin1Char('0'))
        .arg(unsigned(date.month()), 2, 10, QLatin1Char('0'))
        .arg(int(date.year()), 4, 10, QLatin1Char('0'));
}

}  // namespace

void Kestrava_Main::connectSession()
{
    // After a listing run, in this order: the filter line, the title, the find bar;
    // then a file that is no weld record file is handed over, named in the title
    // before the message says where it went. It is loaded all the same: Save, Print,
    // the chart and the filters act on it.
    const auto showListing = [this] {
        showFilterInForce();
        showLoadedState();
        Find_Bar->clearResult();
    };
    connect(session_, &DownloadSession::listed, this, showListing);
    connect(session_, &DownloadSession::handedOver, this, showListing);
    connect(session_, &DownloadSession::closed, this, showListing);
    connect(session_, &DownloadSession::handedOver, this, &Kestrava_Main::handOverToSpreadsheet);
    connect(session_, &DownloadSession::failed, this, &Kestrava_Main::showListingFault);
    connect(session_, &DownloadSession::listed, Frame1, &FilterPanel::listingShown);
    connect(session_, &DownloadSession::handedOver, Frame1, &FilterPanel::listingShown);

    connect(Frame1, &FilterPanel::listingRequested, this, &Kestrava_Main::relistLoadedFile);
    connect(Frame1, &FilterPanel::refused, this, [this](const QString& text) {
        showPanelMessage(text);
    });
}

// The line under the panel names every filter of the listing shown, whichever option
// is selected now: an error filter stays in force under a later date range.
void Kestrava_Main::showFilterInForce()
{
    const kestrava::ListingFilter& filter = session_->document().filter();
    QStringList parts;
    if (session_->Listed()) {
        if (filter.dateOn)
            parts << tr("dates %1 - %2").arg(dayText(filter.from), dayText(filter.to));
        if (filter.errorOn)
            parts << tr("error code %1").arg(filter.errorNumber);
    }
    Label_FilterInForce->setText(
        parts.isEmpty() ? QString() : tr("Filter: %1").arg(parts.join(QStringLiteral(", "))));
}
