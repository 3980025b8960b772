#pragma once

#include "fielderror.h"
#include "filestamp.h"
#include "itemtable.h"

#include <QStringList>

#include <optional>

namespace kuranote {

// Why the folder's catalogue must not be rewritten: the checklist left a record of unsaved changes there that
// nobody has answered yet, or one that was set aside under a name of its own and would still restore against the
// files as they are (the catalogue as read, with its stamp, and the settings file). A rewritten catalogue no longer
// fits the record, and those changes could never be restored. A record set aside that no longer fits blocks
// nothing. Nothing when there is no such record.
std::optional<FileError> unansweredRecovery(
    const QString& folder, const ItemTable& catalogue, const FileStamp& catalogueStamp);

// The names of the records of unsaved changes set aside in the folder, in name order: the live record's name,
// "-", a date and time.
QStringList setAsideRecoveries(const QString& folder);

// The same for the records set aside alone, for the checklist, whose own live record holds its unsaved changes.
std::optional<FileError> setAsideRecoveryThatFits(
    const QString& folder, const ItemTable& catalogue, const FileStamp& catalogueStamp);

} // namespace kuranote
