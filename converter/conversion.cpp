#include "conversion.h"

#include "itemdata/backupfolder.h"
#include "itemdata/datafile.h"
#include "itemdata/unansweredrecovery.h"

#include <QHash>

namespace kuranote {

void carryOverMarks(const QList<OldMark>& marks, ItemTable* table)
{
    // The first record of each name, found once for all marks rather than by a search per mark.
    QHash<QString, int> firstRecordNamed;
    firstRecordNamed.reserve(table->count());
    for (int record = 1; record <= table->count(); ++record) {
        const QString name = table->text(record, ItemTable::Name).toString().remove(u'"');
        if (!firstRecordNamed.contains(name))
            firstRecordNamed.insert(name, record);
    }
    for (const OldMark& mark : marks) {
        if (!mark.acquired())
            continue;
        const auto found = firstRecordNamed.constFind(mark.name);
        if (found != firstRecordNamed.cend())
            table->setFlag(*found, 1, 1);
    }
}

std::optional<FileError> convertData(const QString& folder, const QDateTime& now)
{
    ItemTable table;
    FileStamper stamper;
    if (std::optional<FileError> failure = DataFile::load(folder, &table, &stamper))
        return failure;
    if (std::optional<FileError> refusal = unansweredRecovery(folder, table, stamper.stamp()))
        return refusal;
    QList<OldMark> marks;
    if (std::optional<FileError> failure = OldFile::load(folder, &marks))
        return failure;
    carryOverMarks(marks, &table);
    if (std::optional<FileError> failure
        = keepBackupCopy(folder, DataFile::fileName, BackupFolder::conversionInfix, now))
        return failure;
    return DataFile::save(folder, table);
}

} // namespace kuranote
