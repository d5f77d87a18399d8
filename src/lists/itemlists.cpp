#include "lists/itemlists.h"

#include "core/listroles.h"
#include "web/textutil.h"

namespace marbleway {

QList<QStandardItem*> appendRow(QStandardItemModel& model, const QStringList& texts, bool checkable,
                                bool checked)
{
    QList<QStandardItem*> items;
    for (const QString& text : texts) {
        auto* item = new QStandardItem(text);
        item->setEditable(false);
        items << item;
    }
    if (checkable && !items.isEmpty()) {
        items.first()->setCheckable(true);
        items.first()->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    }
    model.appendRow(items);
    return items;
}

QStringList checkedTexts(const QStandardItemModel& model)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row) {
        const QStandardItem* item = model.item(row);
        if (item->checkState() == Qt::Checked)
            texts << trimSpaces(item->text()).toString();
    }
    return texts;
}

QStringList firstCellTexts(const QStandardItemModel& model)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.item(row)->text();
    return texts;
}

bool hasChecked(const QStandardItemModel& model)
{
    for (int row = 0; row < model.rowCount(); ++row) {
        if (model.item(row)->checkState() == Qt::Checked)
            return true;
    }
    return false;
}

QStringList removeChecked(QStandardItemModel& model)
{
    QStringList removed;
    for (int row = 0; row < model.rowCount();) {
        const QStandardItem* item = model.item(row);
        if (item->checkState() != Qt::Checked) {
            ++row;
            continue;
        }
        const QVariant tag = item->data(TagRole);
        removed << (tag.isValid() ? tag.toString() : item->text());
        model.removeRow(row);
    }
    return removed;
}

void setAllChecked(QStandardItemModel& model, bool checked)
{
    for (int row = 0; row < model.rowCount(); ++row)
        model.item(row)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

} // namespace marbleway
