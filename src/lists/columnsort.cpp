#include "lists/columnsort.h"

#include "core/listroles.h"
#include "core/rounding.h"

#include <QSignalBlocker>

namespace marbleway {

QString ColumnSorter::sortKey(const QString& text)
{
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (!ok || number < 0)
        return text;
    return QStringLiteral("%1").arg(qint64(roundHalfEven(number)), 12, 10, QLatin1Char('0'));
}

void ColumnSorter::sort(QStandardItemModel& list, int column)
{
    if (column < 0 || column >= list.columnCount())
        return;
    {
        // Keys are bookkeeping, not changes the views need to hear of.
        const QSignalBlocker quiet(list);
        for (int row = 0; row < list.rowCount(); ++row) {
            QStandardItem* item = list.item(row, column);
            if (!item)
                continue;
            item->setData(column == 0 ? item->text() : sortKey(item->text()), SortKeyRole);
        }
    }
    m_order = m_order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    list.setSortRole(SortKeyRole);
    list.sort(column, m_order);
}

} // namespace marbleway
