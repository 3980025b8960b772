#include "sessionchanges.h"

using namespace kuranote;
using namespace Qt::StringLiterals;

void makeSessionChange(ChecklistDocument& document, int n)
{
    // Every kind comes within the first seven changes, which a test run reaches.
    switch (n % 10) {
    case 2:
        document.renameVillage(*StoredText::fromTyped(u"かもめ村%1"_s.arg(n)));
        return;
    case 4:
        document.setBackColor(quint32(n) * 0x010305 & 0xFFFFFF);
        return;
    case 5:
        // As the main window switches: the list is then filled for the new villager.
        if (document.switchVillager(1 + (n / 10 + 1) % 4))
            document.pastelist1();
        return;
    case 6:
        document.renameVillager(*StoredText::fromTyped(u"そうた%1"_s.arg(n)));
        return;
    case 7:
        document.setNameColor(quint32(n) * 0x050301 & 0xFFFFFF);
        return;
    default:
        break;
    }
    // A few records again and again, so that some ticks take an earlier one back.
    const int record = 2 + n * 3 % 11;
    const ReportListModel& rows = document.list();
    for (int row = 0; row < rows.rowCount(); ++row) {
        if (rows.record(row) == record) {
            document.toggleRow(row);
            return;
        }
    }
}
