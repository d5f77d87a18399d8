#include "lists/rowmodel.h"

#include "core/rounding.h"
#include "web/textutil.h"

#include <QCoreApplication>

#include <algorithm>

namespace marbleway {

using namespace Qt::StringLiterals;

RowModel::RowModel(QStringList headers, QObject* parent)
    : QAbstractTableModel(parent)
    , m_headers(std::move(headers))
{}

int RowModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : size();
}

int RowModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : std::max<int>(1, int(m_headers.size()));
}

QString RowModel::shownValue(const QString& value)
{
    // Only words the program itself writes into cells ("查询失败") have a
    // translation; keywords, counts and links are shown as they are.
    const bool plain =
        std::all_of(value.cbegin(), value.cend(), [](QChar ch) { return ch.unicode() < 0x80; });
    if (plain || value.size() > 40)
        return value;
    return QCoreApplication::translate("Values", value.toUtf8().constData());
}

QVariant RowModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= size())
        return {};
    const Row& row = at(index.row());
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return shownValue(row.cells.value(column));
    case Qt::EditRole:
        return row.cells.value(column);
    case Qt::CheckStateRole:
        if (column == 0 && row.checkable)
            return row.checked ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::ToolTipRole:
        return row.tip.isEmpty() ? QVariant() : QVariant(shownValue(row.tip));
    case TagRole:
        return row.tag;
    case BoldRole:
        return row.bold;
    case HiddenRole:
        return row.hidden;
    case IconKeyRole:
        return column == 0 && !row.icon.isEmpty() ? QVariant(row.icon) : QVariant();
    case SortKeyRole:
        return sortKey(row.cells.value(column), column);
    default:
        return {};
    }
}

bool RowModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.row() >= size())
        return false;
    Row& row = m_rows[size_t(index.row())];
    const RowId id = idAt(index.row());
    if (role == Qt::CheckStateRole && index.column() == 0 && row.checkable) {
        const bool checked = value.toInt() == Qt::Checked;
        if (checked == row.checked)
            return true;
        row.checked = checked;
        changed(index.row(), 0, 0);
        Q_EMIT checkToggled(id, checked);
        return true;
    }
    if (role == Qt::EditRole && index.column() == 0 && m_editable) {
        const QString before = row.cells.value(0);
        const QString after = value.toString();
        if (before == after)
            return true;
        if (row.cells.isEmpty())
            row.cells << after;
        else
            row.cells[0] = after;
        changed(index.row(), 0, 0);
        Q_EMIT textEdited(id, before, after);
        return true;
    }
    return false;
}

Qt::ItemFlags RowModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == 0 && index.row() < size()) {
        if (at(index.row()).checkable)
            flags |= Qt::ItemIsUserCheckable;
        if (m_editable)
            flags |= Qt::ItemIsEditable;
    }
    return flags;
}

QVariant RowModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    // Headers are marked with QT_TRANSLATE_NOOP("Columns", ...) where they are made.
    if (role == Qt::DisplayRole)
        return QCoreApplication::translate("Columns",
                                           m_headers.value(section).toUtf8().constData());
    if (role == SourceHeaderRole)
        return m_headers.value(section);
    return {};
}

void RowModel::reindex() const
{
    m_index.clear();
    m_index.reserve(qsizetype(m_ids.size()));
    for (size_t row = 0; row < m_ids.size(); ++row)
        m_index.insert(m_ids[row], int(row));
    m_indexValid = true;
}

int RowModel::indexOf(RowId id) const
{
    if (!m_indexValid)
        reindex();
    return m_index.value(id, -1);
}

RowId RowModel::append(Row row)
{
    const int at = size();
    beginInsertRows({}, at, at);
    const RowId id = m_nextId++;
    m_rows.push_back(std::move(row));
    m_ids.push_back(id);
    if (m_indexValid)
        m_index.insert(id, at);
    endInsertRows();
    return id;
}

void RowModel::append(std::vector<Row> rows)
{
    if (rows.empty())
        return;
    const int first = size();
    beginInsertRows({}, first, first + int(rows.size()) - 1);
    m_rows.reserve(m_rows.size() + rows.size());
    for (Row& row : rows) {
        const RowId id = m_nextId++;
        m_rows.push_back(std::move(row));
        m_ids.push_back(id);
    }
    m_indexValid = false;
    endInsertRows();
}

void RowModel::reset(std::vector<Row> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_ids.resize(m_rows.size());
    for (RowId& id : m_ids)
        id = m_nextId++;
    m_indexValid = false;
    endResetModel();
}

void RowModel::clear()
{
    if (m_rows.empty())
        return;
    reset({});
}

void RowModel::changed(int row, int firstColumn, int lastColumn)
{
    Q_EMIT dataChanged(index(row, firstColumn), index(row, lastColumn));
}

bool RowModel::setCell(RowId id, int column, const QString& text)
{
    const int row = indexOf(id);
    if (row < 0 || column < 0)
        return false;
    QStringList& cells = m_rows[size_t(row)].cells;
    while (cells.size() <= column)
        cells << QString();
    cells[column] = text;
    changed(row, column, column);
    return true;
}

bool RowModel::setBold(RowId id, bool bold)
{
    const int row = indexOf(id);
    if (row < 0)
        return false;
    m_rows[size_t(row)].bold = bold;
    changed(row, 0, columnCount() - 1);
    return true;
}

bool RowModel::setTag(RowId id, const QString& tag)
{
    const int row = indexOf(id);
    if (row < 0)
        return false;
    m_rows[size_t(row)].tag = tag;
    changed(row, 0, 0);
    return true;
}

bool RowModel::setTip(RowId id, const QString& tip)
{
    const int row = indexOf(id);
    if (row < 0)
        return false;
    m_rows[size_t(row)].tip = tip;
    changed(row, 0, int(m_headers.size()) - 1);
    return true;
}

void RowModel::setChecked(int row, bool checked)
{
    if (row < 0 || row >= size() || !at(row).checkable || at(row).checked == checked)
        return;
    m_rows[size_t(row)].checked = checked;
    changed(row, 0, 0);
}

void RowModel::setAllChecked(bool checked)
{
    for (Row& row : m_rows)
        row.checked = row.checkable && checked;
    if (!m_rows.empty())
        Q_EMIT dataChanged(index(0, 0), index(size() - 1, 0), {Qt::CheckStateRole});
}

void RowModel::setHidden(int row, bool hidden)
{
    if (row < 0 || row >= size() || at(row).hidden == hidden)
        return;
    m_rows[size_t(row)].hidden = hidden;
    changed(row, 0, columnCount() - 1);
}

void RowModel::showAll()
{
    for (Row& row : m_rows)
        row.hidden = false;
    if (!m_rows.empty())
        Q_EMIT dataChanged(index(0, 0), index(size() - 1, columnCount() - 1), {HiddenRole});
}

void RowModel::resetVisibility(const std::function<bool(const Row&)>& keep)
{
    // One reset: cheaper for a view than a change per row or per run of rows.
    beginResetModel();
    for (Row& row : m_rows) {
        row.checked = false;
        row.hidden = keep && !keep(row);
    }
    endResetModel();
}

void RowModel::clearBold()
{
    for (int row = 0; row < size(); ++row) {
        if (m_rows[size_t(row)].bold) {
            m_rows[size_t(row)].bold = false;
            changed(row, 0, columnCount() - 1);
        }
    }
}

bool RowModel::hasChecked() const
{
    return std::any_of(m_rows.begin(), m_rows.end(), [](const Row& row) { return row.checked; });
}

QStringList RowModel::checkedTexts() const
{
    QStringList texts;
    for (const Row& row : m_rows) {
        if (row.checked)
            texts << trimSpaces(row.cells.value(0)).toString();
    }
    return texts;
}

QStringList RowModel::columnTexts(int column) const
{
    QStringList texts;
    texts.reserve(size());
    for (const Row& row : m_rows)
        texts << row.cells.value(column);
    return texts;
}

std::vector<Row> RowModel::removeIf(const std::function<bool(const Row&)>& remove)
{
    std::vector<bool> marks(m_rows.size());
    for (size_t row = 0; row < m_rows.size(); ++row)
        marks[row] = remove(m_rows[row]);
    return removeMarked(marks);
}

std::vector<Row> RowModel::removeIds(std::vector<RowId> ids)
{
    std::sort(ids.begin(), ids.end());
    std::vector<bool> marks(m_rows.size());
    for (size_t row = 0; row < m_rows.size(); ++row)
        marks[row] = std::binary_search(ids.begin(), ids.end(), m_ids[row]);
    return removeMarked(marks);
}

std::vector<Row> RowModel::removeMarked(const std::vector<bool>& marks)
{
    std::vector<Row> removed;
    int runs = 0;
    for (size_t row = 0; row < marks.size(); ++row)
        runs += marks[row] && (row == 0 || !marks[row - 1]) ? 1 : 0;
    if (runs > ManyRuns) {
        // Scattered rows: one reset instead of a change per run, which a view
        // pays for with a pass over every row each time.
        beginResetModel();
        size_t kept = 0;
        for (size_t row = 0; row < m_rows.size(); ++row) {
            if (marks[row]) {
                removed.push_back(std::move(m_rows[row]));
                continue;
            }
            if (kept != row) {
                m_rows[kept] = std::move(m_rows[row]);
                m_ids[kept] = m_ids[row];
            }
            ++kept;
        }
        m_rows.resize(kept);
        m_ids.resize(kept);
        m_indexValid = false;
        endResetModel();
        return removed;
    }
    // From the end, in runs, so that a view hears of each run once.
    for (int row = size() - 1; row >= 0;) {
        if (!marks[size_t(row)]) {
            --row;
            continue;
        }
        int first = row;
        while (first > 0 && marks[size_t(first - 1)])
            --first;
        beginRemoveRows({}, first, row);
        for (int i = row; i >= first; --i)
            removed.push_back(std::move(m_rows[size_t(i)]));
        m_rows.erase(m_rows.begin() + first, m_rows.begin() + row + 1);
        m_ids.erase(m_ids.begin() + first, m_ids.begin() + row + 1);
        m_indexValid = false;
        endRemoveRows();
        row = first - 1;
    }
    std::reverse(removed.begin(), removed.end());
    return removed;
}

std::vector<Row> RowModel::removeChecked()
{
    return removeIf([](const Row& row) { return row.checked; });
}

void RowModel::removeAt(int row)
{
    if (row < 0 || row >= size())
        return;
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    m_ids.erase(m_ids.begin() + row);
    m_indexValid = false;
    endRemoveRows();
}

QString RowModel::sortKey(const QString& text, int column)
{
    if (column == 0)
        return text;
    // Counts compare as numbers: as text padded to eighteen digits.
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (!ok || number < 0 || number >= 1e18)
        return text;
    return u"%1"_s.arg(qint64(roundHalfEven(number)), 18, 10, QLatin1Char('0'));
}

VisibleRows::VisibleRows(RowModel& rows, QObject* parent)
    : QSortFilterProxyModel(parent)
    , m_rows(&rows)
{
    // Sorted and filtered on request only: a job writing counts must not move
    // rows under the user's eyes.
    setDynamicSortFilter(false);
    setSourceModel(&rows);
    setSortRole(SortKeyRole);
}

int VisibleRows::sourceRow(int row) const
{
    return mapToSource(index(row, 0)).row();
}

int VisibleRows::hideChecked()
{
    std::vector<int> rows;
    for (int row = 0; row < rowCount(); ++row) {
        const int source = sourceRow(row);
        if (m_rows->at(source).checked)
            rows.push_back(source);
    }
    for (const int source : rows)
        m_rows->setHidden(source, true);
    invalidateFilter();
    return int(rows.size());
}

void VisibleRows::showAll()
{
    m_rows->showAll();
    invalidateFilter();
}

void VisibleRows::sortBy(int column, Qt::SortOrder order)
{
    m_sortColumn = column;
    m_sortOrder = order;
    m_keys.resize(size_t(m_rows->size()));
    for (int row = 0; row < m_rows->size(); ++row)
        m_keys[size_t(row)] = RowModel::sortKey(m_rows->text(row, column), column);
    sort(column, order);
    m_keys.clear();
}

void VisibleRows::unsort()
{
    m_sortColumn = -1;
    sort(-1);
}

void VisibleRows::rebuild(const std::function<bool(const Row&)>& keep)
{
    unsort(); // back to the full copy's order
    m_rows->resetVisibility(keep);
}

std::vector<Row> VisibleRows::removeIds(std::vector<RowId> ids)
{
    // Without the sort while the rows go, so that the proxy need not sort
    // again on its own (slowly); then the same sort again.
    const int column = m_sortColumn;
    if (column >= 0)
        sort(-1);
    std::vector<Row> removed = m_rows->removeIds(std::move(ids));
    if (column >= 0)
        sortBy(column, m_sortOrder);
    return removed;
}

std::vector<RowId> VisibleRows::visibleIds() const
{
    std::vector<RowId> ids;
    ids.reserve(size_t(rowCount()));
    for (int row = 0; row < rowCount(); ++row)
        ids.push_back(m_rows->idAt(sourceRow(row)));
    return ids;
}

bool VisibleRows::filterAcceptsRow(int sourceRow, const QModelIndex&) const
{
    return sourceRow < m_rows->size() && !m_rows->at(sourceRow).hidden;
}

bool VisibleRows::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    if (!m_keys.empty() && size_t(left.row()) < m_keys.size() &&
        size_t(right.row()) < m_keys.size())
        return m_keys[size_t(left.row())] < m_keys[size_t(right.row())];
    return QSortFilterProxyModel::lessThan(left, right);
}

} // namespace marbleway
