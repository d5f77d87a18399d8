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

ReportList makeReportList(QWidget* parent, const QString& objectName, const QStringList& headers,
                          bool headerVisible)
{
    ReportList list;
    list.view = new QTreeView(parent);
    list.view->setObjectName(objectName);
    list.model = new QStandardItemModel(0, static_cast<int>(headers.size()), list.view);
    list.model->setHorizontalHeaderLabels(headers);
    list.view->setModel(list.model);
    list.view->setRootIsDecorated(false);
    list.view->setUniformRowHeights(true);
    list.view->setAlternatingRowColors(true);
    list.view->setSelectionMode(QAbstractItemView::SingleSelection);
    list.view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list.view->setHeaderHidden(!headerVisible);
    list.view->header()->setStretchLastSection(true);
    list.view->header()->setSectionsClickable(true);
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

QIcon engineIcon(const QString& key)
{
    // Drawn, not shipped: a round badge in the engine's colour with its initial.
    const QColor colour = key == u"google"_s  ? QColor(0x42, 0x85, 0xF4)
                          : key == u"yahoo"_s ? QColor(0x72, 0x0E, 0x9E)
                                              : QColor(0x00, 0x80, 0x80);
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(1, 1, 30, 30);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(20);
    painter.setFont(font);
    painter.drawText(pixmap.rect(), Qt::AlignCenter,
                     key.isEmpty() ? u"?"_s : key.left(1).toUpper());
    painter.end();
    return QIcon(pixmap);
}

} // namespace marbleway
