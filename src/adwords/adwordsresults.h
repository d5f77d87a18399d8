#pragma once

#include "lists/rowmodel.h"

#include <QObject>

namespace marbleway {

// The keyword tool's result list, as the tab shows it.
class AdWordsResults : public QObject {
    Q_OBJECT
public:
    explicit AdWordsResults(QObject* parent = nullptr);

    RowModel* list() { return &m_list; }

    static const QStringList Columns;

private:
    RowModel m_list;
};

} // namespace marbleway
