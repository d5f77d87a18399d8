#pragma once

#include "core/listroles.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QSortFilterProxyModel>
#include <QStringList>

#include <functional>
#include <vector>

namespace marbleway {

// One row of a list: its cells and the marks the program's lists carry.
struct Row {
    QStringList cells;
    bool checkable = false;
    bool checked = false;
    bool bold = false;
    bool hidden = false; // left out of the visible list, kept in the full one
    QString tag;         // an address, a record, a descriptor
    QString icon;        // key of the picture the window draws in the first cell
    QString tip;         // shown when the pointer rests on the row
};

// A row of plain cells, without marks.
inline Row textRow(QStringList cells, QString icon = {})
{
    Row row;
    row.cells = std::move(cells);
    row.icon = std::move(icon);
    return row;
}

// Rows are addressed by an id that stays with the row whatever is inserted,
// removed or sorted around it. A job holds ids across its waits, never indexes
// or pointers: a row the user removed meanwhile simply takes no more writes.
using RowId = quint64;

// The one table model of the program's lists: plain rows in a vector, check
// state, bold, tag, icon key and sort key as roles. Widgets only show it.
class RowModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RowModel(QStringList headers = {}, QObject* parent = nullptr);

    // The first cell can be edited in place (the site and keyword lists).
    void setEditable(bool editable) { m_editable = editable; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    const QStringList& headers() const { return m_headers; }
    int size() const { return int(m_rows.size()); }
    const Row& at(int row) const { return m_rows[size_t(row)]; }
    QString text(int row, int column = 0) const { return at(row).cells.value(column); }
    RowId idAt(int row) const { return m_ids[size_t(row)]; }
    // The row's position now; -1 once it is gone.
    int indexOf(RowId id) const;

    RowId append(Row row);
    void append(std::vector<Row> rows);
    // Replaces every row at once (cheap for 100,000 rows).
    void reset(std::vector<Row> rows);
    void clear();

    // Writes by id; false when the row is gone.
    bool setCell(RowId id, int column, const QString& text);
    bool setBold(RowId id, bool bold);
    bool setTag(RowId id, const QString& tag);
    bool setTip(RowId id, const QString& tip);
    void setChecked(int row, bool checked);
    void setAllChecked(bool checked);
    void setHidden(int row, bool hidden);
    void showAll();
    // Every row unchecked, and hidden unless `keep` accepts it (every row
    // visible when `keep` is empty). One reset for the views, whatever the size.
    void resetVisibility(const std::function<bool(const Row&)>& keep);
    void clearBold();

    bool hasChecked() const;
    // Trimmed first cells of the checked rows, in order.
    QStringList checkedTexts() const;
    QStringList columnTexts(int column = 0) const;
    // Removes the rows `remove` picks; returns them in order.
    std::vector<Row> removeIf(const std::function<bool(const Row&)>& remove);
    std::vector<Row> removeChecked();
    // Removes the rows of these ids that are still there.
    std::vector<Row> removeIds(std::vector<RowId> ids);
    void removeAt(int row);

    static QString sortKey(const QString& text, int column);
    // A cell as the window shows it: the program's own words ("查询失败")
    // in the window's language; what the model holds (the edit role, and
    // every export) stays as written.
    static QString shownValue(const QString& value);

    // Removing more runs of rows than this resets the model instead.
    static constexpr int ManyRuns = 8;

Q_SIGNALS:
    // The user edited a first cell in place.
    void textEdited(RowId id, const QString& before, const QString& after);
    // The user ticked or cleared a check box.
    void checkToggled(RowId id, bool checked);

private:
    void changed(int row, int firstColumn, int lastColumn);
    std::vector<Row> removeMarked(const std::vector<bool>& marks);
    void reindex() const;

    QStringList m_headers;
    std::vector<Row> m_rows;
    std::vector<RowId> m_ids;
    mutable QHash<RowId, int> m_index;
    mutable bool m_indexValid = true;
    RowId m_nextId = 1;
    bool m_editable = false;
};

// The visible list over a full copy: rows marked hidden are left out, and a
// click on a column sorts by that column's key without touching the copy.
class VisibleRows : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit VisibleRows(RowModel& rows, QObject* parent = nullptr);

    RowModel& rows() const { return *m_rows; }
    int sourceRow(int row) const;
    // Hides the checked visible rows; returns how many.
    int hideChecked();
    // Every row of the full copy visible again.
    void showAll();
    void sortBy(int column, Qt::SortOrder order);
    // Back to the full copy's order.
    void unsort();
    // Removes rows from the full copy, keeping the sort shown.
    std::vector<Row> removeIds(std::vector<RowId> ids);
    // The full copy's rows in its own order, unchecked, those `keep` accepts
    // visible: what a filter and its restore show.
    void rebuild(const std::function<bool(const Row&)>& keep);
    // The ids of the visible rows, top to bottom.
    std::vector<RowId> visibleIds() const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    RowModel* m_rows;
    std::vector<QString> m_keys; // sort keys by source row, for the sort in hand
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

} // namespace marbleway
