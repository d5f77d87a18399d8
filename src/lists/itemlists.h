#pragma once

#include <QStandardItemModel>
#include <QStringList>

namespace marbleway {

// Helpers for the program's report-style lists: rows of text cells whose first
// cell may carry a check box and a tag (see ListRole).

// Appends a row of texts; a checkable first cell is checked as asked.
QList<QStandardItem*> appendRow(QStandardItemModel& model, const QStringList& texts,
                                bool checkable = false, bool checked = false);
// The trimmed texts of the checked first cells, in order.
QStringList checkedTexts(const QStandardItemModel& model);
// The texts of the first cells, in order.
QStringList firstCellTexts(const QStandardItemModel& model);
bool hasChecked(const QStandardItemModel& model);
// Removes the checked rows; returns their first cells' tags (or texts).
QStringList removeChecked(QStandardItemModel& model);
void setAllChecked(QStandardItemModel& model, bool checked);

} // namespace marbleway
