// The welds of an archive query for a table view, fetched a page at a time as the
// view scrolls down to them (the archive may hold millions), in the order of the
// column the view sorts by: date, machine or error number; the other columns keep the
// order imported.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "core/archive/weld_archive.h"
#include "core/settings/build_profile.h"

class WeldTableModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { Serial, Family, Date, Error, Record, Download, ColumnCount };
    static constexpr std::size_t kPageSize = 500;

    WeldTableModel(kestrava::Language language, QObject* parent = nullptr);

    // Shows the query's welds of archive (none: an empty table) from the first page.
    void show(kestrava::WeldArchive* archive, kestrava::ArchiveQuery query);
    const kestrava::ArchiveQuery& query() const { return query_; }
    const kestrava::StoredWeld* weld(int row) const;
    // The last failure of a fetch, in English (empty when none).
    const std::string& failure() const { return failure_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    void restart();
    QString text(std::string_view bytes) const;

    kestrava::Language language_;
    kestrava::WeldArchive* archive_ = nullptr;
    kestrava::ArchiveQuery query_;
    kestrava::WeldOrder order_ = kestrava::WeldOrder::Imported;
    bool descending_ = false;
    std::vector<kestrava::StoredWeld> welds_;
    bool atEnd_ = true;
    std::string failure_;
};
