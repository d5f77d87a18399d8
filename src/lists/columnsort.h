#pragma once

#include <QStandardItemModel>

namespace marbleway {

// Sorts a result list by a clicked column: counts compare as numbers (as text
// padded to twelve digits), the first column as text, and the direction
// alternates from click to click. Rows keep their check marks and bold flags.
class ColumnSorter {
public:
    void sort(QStandardItemModel& list, int column);
    Qt::SortOrder order() const { return m_order; }

    // The text a count compares by: a number padded to twelve digits, anything
    // else as it is.
    static QString sortKey(const QString& text);

private:
    Qt::SortOrder m_order = Qt::AscendingOrder;
};

} // namespace marbleway
