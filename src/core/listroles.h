#pragma once

#include <Qt>

namespace marbleway {

// Item data roles the program's lists share.
enum ListRole {
    TagRole = Qt::UserRole + 1,     // a row's tag (an address, a record, a descriptor)
    BoldRole = Qt::UserRole + 3,    // the row is shown in bold (the seed, a refresh position)
    SortKeyRole = Qt::UserRole + 4, // what a column sort compares
    IconKeyRole = Qt::UserRole + 5, // the picture of the first cell, by key ("google", ...)
    HiddenRole = Qt::UserRole + 6,  // left out of the visible list
};

} // namespace marbleway
