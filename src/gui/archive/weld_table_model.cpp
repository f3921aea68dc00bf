#include "gui/archive/weld_table_model.h"

#include <chrono>

#include "gui/view/code_page.h"

WeldTableModel::WeldTableModel(kestrava::Language language, QObject* parent)
    : QAbstractTableModel(parent), language_(language)
{ }

void WeldTableModel::show(kestrava::WeldArchive* archive, kestrava::ArchiveQuery query)
{
    archive_ = archive;
    query_ = std::move(query);
    restart();
}

void WeldTableModel::restart()
{
    beginResetModel();
    welds_.clear();
    welds_.shrink_to_fit();
    atEnd_ = archive_ == nullptr;
    failure_.clear();
    endResetModel();
    if (canFetchMore({}))
        fetchMore({});
}

const kestrava::StoredWeld* WeldTableModel::weld(int row) const
{
    return row >= 0 && std::size_t(row) < welds_.size() ? &welds_[std::size_t(row)] : nullptr;
}

int WeldTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(welds_.size());
}

int WeldTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

bool WeldTableModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && !atEnd_;
}

void WeldTableModel::fetchMore(const QModelIndex& parent)
{
    if (!canFetchMore(parent))
        return;
    std::vector<kestrava::StoredWeld> page;
    const kestrava::ArchiveError error = archive_->page(
        query_, order_, descending_, welds_.empty() ? nullptr : &welds_.back(), kPageSize, page);
    if (!error.ok()) {
        failure_ = error.text;
        atEnd_ = true;
        return;
    }
    atEnd_ = page.size() < kPageSize;
    if (page.empty())
        return;
    for (kestrava::StoredWeld& weld : page)
        weld.header = {};  // the table shows no header; kept once per page would be enough
    beginInsertRows({}, int(welds_.size()), int(welds_.size() + page.size() - 1));
    welds_.insert(welds_.end(), std::make_move_iterator(page.begin()),
                  std::make_move_iterator(page.end()));
    endInsertRows();
}

void WeldTableModel::sort(int column, Qt::SortOrder order)
{
    const kestrava::WeldOrder chosen = column == Date     ? kestrava::WeldOrder::Date
                                       : column == Serial ? kestrava::WeldOrder::Machine
                                       : column == Error  ? kestrava::WeldOrder::Error
                                                          : kestrava::WeldOrder::Imported;
    const bool descending = order == Qt::DescendingOrder;
    if (chosen == order_ && descending == descending_)
        return;
    order_ = chosen;
    descending_ = descending;
    restart();
}

QString WeldTableModel::text(std::string_view bytes) const
{
    return fromCodePage(QByteArray(bytes.data(), qsizetype(bytes.size())), language_);
}

QVariant WeldTableModel::data(const QModelIndex& index, int role) const
{
    const kestrava::StoredWeld* weld = index.isValid() ? this->weld(index.row()) : nullptr;
    if (!weld)
        return {};
    if (role == Qt::TextAlignmentRole)
        return index.column() == Date || index.column() == Error
                   ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                   : QVariant();
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case Serial: return text(weld->serial);
    case Family: return QString::fromLatin1(kestrava::familyName(weld->family));
    case Date: {
        if (!weld->day)
            return QString();
        const std::chrono::year_month_day date(*weld->day);
        return QStringLiteral("%1/%2/%3")
            .arg(unsigned(date.day()), 2, 10, QLatin1Char('0'))
            .arg(unsigned(date.month()), 2, 10, QLatin1Char('0'))
            .arg(int(date.year()), 4, 10, QLatin1Char('0'));
    }
    case Error: return weld->error ? QString::number(*weld->error) : QString();
    case Record: {
        QString line = text(weld->line);
        line.replace(QLatin1Char('\t'), QStringLiteral(" | "));
        return line;
    }
    case Download:
        return QString::fromUtf8(weld->firstFile.data(), qsizetype(weld->firstFile.size()));
    }
    return {};
}

QVariant WeldTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Serial: return tr("Serial number");
    case Family: return tr("Family");
    case Date: return tr("Date");
    case Error: return tr("Error");
    case Record: return tr("Record");
    case Download: return tr("Download");
    }
    return {};
}
