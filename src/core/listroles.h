#pragma once

#include <Qt>

namespace marbleway {

// Item data roles the program's lists share, whichever model holds them.
enum ListRole {
    TagRole = Qt::UserRole + 1,     // an item's tag (an address, a record, a descriptor)
    BoldRole = Qt::UserRole + 3,    // the row is shown in bold (the seed, a refresh position)
    SortKeyRole = Qt::UserRole + 4, // what a column sort compares
};

} // namespace marbleway
