#include "app/reportlist.h"

#include "core/listroles.h"
#include "lists/itemlists.h"

#include <QHeaderView>
#include <QPainter>
#include <QPixmap>
#include <QStandardItemModel>
#include <QTreeView>

namespace marbleway {

using namespace Qt::StringLiterals;

int ReportList::rowCount() const
{
    return model->rowCount();
}

QList<QStandardItem*> ReportList::appendRow(const QStringList& texts, bool checkable)
{
    return marbleway::appendRow(*model, texts, checkable);
}

void ReportList::clear()
{
    model->removeRows(0, model->rowCount());
}

QTreeView* makeListView(QWidget* parent, const QString& objectName, QAbstractItemModel* model,
                        bool editable)
{
    auto* view = new QTreeView(parent);
    view->setObjectName(objectName);
    view->setModel(model);
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
    return view;
}

ReportList makeReportList(QWidget* parent, const QString& objectName, const QStringList& headers,
                          bool headerVisible)
{
    ReportList list;
    list.model = new QStandardItemModel(0, static_cast<int>(headers.size()), parent);
    list.model->setHorizontalHeaderLabels(headers);
    list.view = makeListView(parent, objectName, list.model);
    list.model->setParent(list.view);
    list.view->setHeaderHidden(!headerVisible);
    if (headers.size() > 1) {
        list.view->header()->setSectionResizeMode(QHeaderView::Interactive);
        list.view->header()->setMinimumSectionSize(60);
        for (int column = 0; column < headers.size() - 1; ++column)
            list.view->setColumnWidth(column, column == 0 ? 170 : 110);
    }
    return list;
}

QVariant BoldRowsProxy::data(const QModelIndex& index, int role) const
{
    if (role == Qt::FontRole && index.siblingAtColumn(0).data(BoldRole).toBool()) {
        QFont font;
        font.setBold(true);
        return font;
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
    const QColor colour = key == u"google"_s  ? QColor(0x42, 0x85, 0xF4)
                          : key == u"yahoo"_s ? QColor(0x72, 0x0E, 0x9E)
                                              : QColor(0x00, 0x80, 0x80);
    return badgeIcon(colour, key.isEmpty() ? u"?"_s : key.left(1).toUpper(), 32);
}

} // namespace marbleway
