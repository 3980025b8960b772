#pragma once

#include "fielderror.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace kuranote {

// The folder "backup" inside the data folder, where copies of the files a save or an update replaces are kept,
// each under its file's name, an infix and a stamp of local time: "kuradata_v2.csv.before-update-20260102-030405".
namespace BackupFolder {

inline const QString folderName = QStringLiteral("backup");
// The infix of the copies a save keeps: "kuradata_v2.csv.20260102-030405".
inline const QString saveInfix = QStringLiteral(".");
// The infixes of the copies the converter keeps before it rewrites the catalogue; never removed.
inline const QString conversionInfix = QStringLiteral(".before-conversion-");
inline const QString updateInfix = QStringLiteral(".before-update-");
inline constexpr int savesKept = 10;

QString path(const QString& dataFolder);

} // namespace BackupFolder

// Copies the file fileName of dataFolder, as it is on disk, into the backup folder under
// fileName + infix + "yyyyMMdd-HHmmss" of now, with "-2", "-3"… added when that name is taken. The copy is
// written completely or not at all, and never replaces another. A missing file has nothing to keep: no copy, no
// error, and copyPath is left empty.
std::optional<FileError> keepBackupCopy(const QString& dataFolder, const QString& fileName, const QString& infix,
    const QDateTime& now, QString* copyPath = nullptr);

// The same for several files under one stamp, "-2"… when the name of any of them is taken, so that the copies
// belong together. Either every file that exists is copied, or none is: copies made before a failure are removed.
// copyPaths gets one path per file name, empty for a missing file.
std::optional<FileError> keepBackupCopies(const QString& dataFolder, const QStringList& fileNames, const QString& infix,
    const QDateTime& now, QStringList* copyPaths = nullptr);

// Keeps the files a save is about to replace, under one stamp of now as keepBackupCopies() names them with the
// save's infix: fileNames name them in the backup folder, replaced are the files the renames will replace (where
// a name is a symbolic link, the file it leads to). Each gets a second name (a hard link), so that no byte is
// copied and, once the rename is done, the backup's name is the only one of the old contents; a file that already
// has another name, or one on a file system that cannot link it there, is copied. Either every file that exists is
// kept, or none is. keptPaths gets one path per file name, empty for a missing file.
std::optional<FileError> keepBackupPair(const QString& dataFolder, const QStringList& fileNames,
    const QStringList& replaced, const QDateTime& now, QStringList* keptPaths);

// Removes backups made for a save that then replaced nothing; empty paths are skipped.
void removeBackups(const QStringList& paths);

// Removes the oldest sets of the copies a save keeps (fileNames, saveInfix, a stamp), after the save of keptPaths
// replaced its files. Only the sets stamped no later than that one are ranked, and the `kept` newest of them stay:
// a set stamped later was made while the clock ran ahead, and no clock decides whether it goes. Nothing of another
// name is touched: neither another file nor a copy under another infix.
void removeOldSaveBackups(const QString& dataFolder, const QStringList& fileNames, const QStringList& keptPaths,
    int kept = BackupFolder::savesKept);

} // namespace kuranote
