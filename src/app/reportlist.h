#pragma once

#include <QIcon>
#include <QIdentityProxyModel>
#include <QStringList>

class QAbstractItemModel;
class QBrush;
class QTreeView;
class QWidget;

namespace marbleway {

// A flat list view over `model`, set up the way every list of the program looks:
// bold rows in a bold font, engine keys as their pictures. Editable lists edit
// an item in place on a click on the selected item. Columns get `widths`.
QTreeView* makeListView(QWidget* parent, const QString& objectName, QAbstractItemModel* model,
                        bool editable = false, const QList<int>& widths = {});

// Shows what the models below the window keep as roles (bold, icon keys) the
// way widgets draw them; the models know nothing of fonts and pictures.
class RowLook : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex& index, int role) const override;
};

// A round badge with a white letter: the program's pictures are drawn, not shipped.
QIcon badgeIcon(const QBrush& fill, const QString& letter, int size);

// The engines' pictures, by their keys "google", "yahoo", "bing".
QIcon engineIcon(const QString& key);

} // namespace marbleway
