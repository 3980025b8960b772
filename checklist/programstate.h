#pragma once

#include "itemdata/itemtable.h"

#include <QString>

namespace kuranote {

// What the checklist program keeps from start to end, shared by both windows.
// Flags kept in 16-bit integers use True = -1 and False = 0.
struct ChecklistState
{
    QString folder; // the program folder, where every file lives
    ItemTable items;
    quint8 curvillager = 1;
    qint16 seekshown = 0; // the search window is showing
    qint32 seekwidth = 0; // the search window's outer size, twips
    qint32 seekheight = 0;
};

} // namespace kuranote
