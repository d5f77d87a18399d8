#pragma once

#include <QIcon>
#include <QIdentityProxyModel>
#include <QStringList>

class QStandardItem;
class QStandardItemModel;
class QAbstractItemModel;
class QBrush;
class QTreeView;
class QWidget;

namespace marbleway {

// A report-style list: a flat tree view over a standard item model with the
// given column headers. The model belongs to the view.
struct ReportList {
    QTreeView* view = nullptr;
    QStandardItemModel* model = nullptr;

    int rowCount() const;
    // Appends a row of texts; the first cell carries the check box when asked.
    QList<QStandardItem*> appendRow(const QStringList& texts, bool checkable = false);
    void clear();
};

ReportList makeReportList(QWidget* parent, const QString& objectName, const QStringList& headers,
                          bool headerVisible = true);

// A flat list view over `model`, set up the way every list of the program looks.
// Editable lists edit an item in place on a click on the selected item.
QTreeView* makeListView(QWidget* parent, const QString& objectName, QAbstractItemModel* model,
                        bool editable = false);

// Shows rows marked with BoldRole in a bold font; the models below the window
// know nothing of fonts.
class BoldRowsProxy : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex& index, int role) const override;
};

// A round badge with a white letter: the program's pictures are drawn, not shipped.
QIcon badgeIcon(const QBrush& fill, const QString& letter, int size);

// The engines' pictures, by their keys "google", "yahoo", "bing".
QIcon engineIcon(const QString& key);

} // namespace marbleway
