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
    // A column header in its source language, as exported files name it; the
    // display role has it in the window's language.
    SourceHeaderRole = Qt::UserRole + 7,
};

} // namespace marbleway
