#pragma once

#include "itemdata/fielderror.h"
#include "itemdata/itemtable.h"
#include "itemdata/oldfile.h"

#include <QDateTime>

#include <optional>

namespace kuranote {

// Ticks villager 1's flag of the first record whose name, double quotes removed, equals the name of
// an old line marked acquired. Nothing is ever cleared, and later records of the same name stay as
// they are.
void carryOverMarks(const QList<OldMark>& marks, ItemTable* table);

// Reads the catalogue and the old file from the folder, carries the old marks over and writes the
// catalogue back, after keeping it as it was in backup/kuradata_v2.csv.before-conversion-STAMP (local time of
// now). Both files are read whole and the copy is written before the catalogue is, so on any failure the
// catalogue stays exactly as it was. Refused while a record of the checklist's unsaved changes waits in the folder
// (see unansweredRecovery()).
std::optional<FileError> convertData(const QString& folder, const QDateTime& now);

} // namespace kuranote
