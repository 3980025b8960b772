#include "catalogueupdate.h"

#include "unansweredrecovery.h"

#include "itemdata/backupfolder.h"
#include "itemdata/datafile.h"
#include "itemdata/safesave.h"
#include "itemdata/settingsfile.h"
#include "platform/samefile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kuranote {
namespace {

std::optional<FileError> readNewerCatalogue(const QString& path, ItemTable* table)
{
    const auto failure = [&](const QString& reason) { return FileError { QDir::toNativeSeparators(path), 0, reason }; };
    const QFileInfo info(path);
    if (!info.exists())
        return failure(QStringLiteral("ファイルがありません。"));
    if (info.isDir())
        return failure(QStringLiteral("フォルダです。新しいカタログのファイルを指定してください。"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return failure(file.errorString());
    if (std::optional<FileError> error = DataFile::read(&file, path, table))
        return error;
    // An empty catalogue would take every tick away, and is surely not the file that was meant.
    if (table->count() == 0)
        return failure(QStringLiteral("レコードがひとつもありません。カタログのファイルではありません。"));
    return std::nullopt;
}

// The villagers' names as the checklist shows them; the names it starts with when the settings cannot be read,
// since the update does not need them to be right.
QStringList villagerNamesIn(const QString& folder)
{
    QStringList names { QStringLiteral("1st"), QStringLiteral("2nd"), QStringLiteral("3rd"), QStringLiteral("4th") };
    Settings settings;
    if (SettingsFile::load(folder, &settings))
        return names;
    for (int villager = 1; villager <= ItemTable::VillagerCount; ++villager)
        names[villager - 1] = settings.villagername[size_t(villager)].text();
    return names;
}

} // namespace

std::optional<FileError> prepareCatalogueUpdate(
    const QString& folder, const QString& newerPath, CatalogueUpdate* update)
{
    if (std::optional<FileError> refusal = unansweredRecovery(folder))
        return refusal;
    const QString currentPath = filePathIn(folder, DataFile::fileName);
    const QString absoluteNewer = QDir::cleanPath(QFileInfo(newerPath).absoluteFilePath());
    if (isSameFile(absoluteNewer, currentPath)) {
        return FileError { QDir::toNativeSeparators(absoluteNewer), 0,
            QStringLiteral("このフォルダの今のカタログそのものです。新しいカタログのファイルを指定してください。") };
    }
    ItemTable current;
    if (std::optional<FileError> failure = DataFile::load(folder, &current))
        return failure;
    ItemTable newer;
    if (std::optional<FileError> failure = readNewerCatalogue(absoluteNewer, &newer))
        return failure;

    const Partners partners = pairRecords(current, newer);
    update->summary = summarizeUpdate(current, newer, partners);
    carryOverTicks(current, partners, &newer);
    update->merged = std::move(newer);
    update->villagerNames = villagerNamesIn(folder);
    return std::nullopt;
}

std::optional<FileError> writeCatalogueUpdate(const QString& folder, const ItemTable& merged, QString* backupPath)
{
    QString copy;
    if (std::optional<FileError> failure
        = keepCopyInBackup(folder, DataFile::fileName, BackupFolder::updateInfix, QDateTime::currentDateTime(), &copy))
        return failure;
    // The copy is what makes the update safe to take: without one, nothing is written.
    if (copy.isEmpty()) {
        return FileError { QDir::toNativeSeparators(filePathIn(folder, DataFile::fileName)), 0,
            QStringLiteral("ファイルがありません。") };
    }
    if (std::optional<FileError> failure = DataFile::save(folder, merged))
        return failure;
    *backupPath = copy;
    return std::nullopt;
}

} // namespace kuranote
