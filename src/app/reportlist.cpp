#include "app/reportlist.h"

#include "core/listroles.h"

#include <QHash>
#include <QHeaderView>
#include <QPainter>
#include <QPixmap>
#include <QTreeView>

namespace marbleway {

using namespace Qt::StringLiterals;

QTreeView* makeListView(QWidget* parent, const QString& objectName, QAbstractItemModel* model,
                        bool editable, const QList<int>& widths)
{
    auto* view = new QTreeView(parent);
    view->setObjectName(objectName);
    auto* look = new RowLook(view);
    look->setSourceModel(model);
    view->setModel(look);
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setAlternatingRowColors(true);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(editable ? QAbstractItemView::SelectedClicked |
                                         QAbstractItemView::EditKeyPressed |
                                         QAbstractItemView::DoubleClicked
                                   : QAbstractItemView::NoEditTriggers);
    view->header()->setStretchLastSection(true);
    view->header()->setSectionsClickable(true);
    if (model->columnCount() > 1) {
        view->header()->setSectionResizeMode(QHeaderView::Interactive);
        view->header()->setMinimumSectionSize(40);
    }
    for (int column = 0; column < widths.size(); ++column)
        view->setColumnWidth(column, widths.at(column));
    return view;
}

QVariant RowLook::data(const QModelIndex& index, int role) const
{
    if (role == Qt::FontRole && index.siblingAtColumn(0).data(BoldRole).toBool()) {
        QFont font;
        font.setBold(true);
        return font;
    }
    if (role == Qt::DecorationRole) {
        const QString key = index.data(IconKeyRole).toString();
        if (!key.isEmpty())
            return engineIcon(key);
    }
    return QIdentityProxyModel::data(index, role);
}

QIcon badgeIcon(const QBrush& fill, const QString& letter, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawEllipse(QRectF(1, 1, size - 2, size - 2));
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(size * 5 / 8);
    painter.setFont(font);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, letter);
    painter.end();
    return QIcon(pixmap);
}

QIcon engineIcon(const QString& key)
{
    // Drawn once per engine: a list of 100,000 rows asks for them often.
    static QHash<QString, QIcon> drawn;
    if (const auto found = drawn.constFind(key); found != drawn.constEnd())
        return *found;
    const QColor colour = key == u"google"_s  ? QColor(0x42, 0x85, 0xF4)
                          : key == u"yahoo"_s ? QColor(0x72, 0x0E, 0x9E)
                                              : QColor(0x00, 0x80, 0x80);
    const QIcon icon = badgeIcon(colour, key.isEmpty() ? u"?"_s : key.left(1).toUpper(), 32);
    drawn.insert(key, icon);
    return icon;
}

} // namespace marbleway
