#include "backupfolder.h"

#include "safesave.h"

#include "system/filelink.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <map>
#include <tuple>
#include <utility>
#include <vector>

namespace kuranote {

namespace {

FileError errorAbout(const QString& path, const QString& reason)
{
    return { QDir::toNativeSeparators(path), 0, reason };
}

std::optional<FileError> makeFolder(const QString& folder)
{
    const QFileInfo info(folder);
    if (info.isDir())
        return std::nullopt;
    if (info.exists() || info.isSymLink())
        return errorAbout(folder, QStringLiteral("同じ名前のファイルがあるため、フォルダを作れません。"));
    if (!QDir().mkdir(folder))
        return errorAbout(folder, QStringLiteral("フォルダを作れませんでした: %1").arg(qt_error_string()));
    return std::nullopt;
}

// Streams the file in pieces, so that a large catalogue is never held whole in memory.
std::optional<FileError> copyFile(const QString& source, const QString& copy)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return errorAbout(source, QStringLiteral("バックアップのために読めませんでした: %1").arg(in.errorString()));
    QByteArray piece;
    bool readFailed = false;
    if (std::optional<FileError> failure = writeFileSafely(copy, [&]() -> QByteArrayView {
            piece = in.read(1 << 20);
            readFailed = readFailed || (piece.isEmpty() && in.error() != QFileDevice::NoError);
            return piece;
        }))
        return failure;
    // A read that fails ends the pieces early, and the safe save has then committed a copy cut short.
    if (readFailed) {
        QFile::remove(copy);
        return errorAbout(source, QStringLiteral("バックアップのために読めませんでした: %1").arg(in.errorString()));
    }
    return std::nullopt;
}

QString stampOf(const QDateTime& now)
{
    return now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

// The stamp, or the stamp with a number above every number it already has: a name freed by the removal of old
// copies is not taken again, so that the numbers of one second keep the order of the saves.
QString freeSuffix(const QString& folder, const QStringList& fileNames, const QString& infix, const QString& stamp)
{
    int highest = 0;
    for (const QString& fileName : fileNames) {
        const QString taken = fileName + infix + stamp;
        const QStringList names = QDir(folder).entryList(
            { taken + u'*' }, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QString& name : names) {
            if (name == taken) {
                highest = std::max(highest, 1);
            } else if (name.at(taken.size()) == u'-') {
                bool isNumber = false;
                const int number = QStringView(name).mid(taken.size() + 1).toInt(&isNumber);
                if (isNumber)
                    highest = std::max(highest, number);
            }
        }
    }
    return highest == 0 ? stamp : QStringLiteral("%1-%2").arg(stamp).arg(highest + 1);
}

} // namespace

QString BackupFolder::path(const QString& dataFolder)
{
    return filePathIn(dataFolder, folderName);
}

std::optional<FileError> keepBackupCopy(
    const QString& dataFolder, const QString& fileName, const QString& infix, const QDateTime& now, QString* copyPath)
{
    QStringList copyPaths;
    std::optional<FileError> failure = keepBackupCopies(dataFolder, { fileName }, infix, now, &copyPaths);
    if (copyPath)
        *copyPath = copyPaths.value(0);
    return failure;
}

namespace {

enum class Keeping { Copy, LinkWhereSafe };

// A second name costs nothing, but it is the same file: only where nothing but the rename that follows can
// change it, that is where the file has no other name another program could write it through.
std::optional<FileError> keepOne(const QString& source, const QString& kept, Keeping keeping)
{
    if (keeping == Keeping::LinkWhereSafe && nameCount(source) == 1 && !linkFile(source, kept))
        return std::nullopt;
    // No link on this file system or across two, or a file of several names: a copy of its bytes.
    return copyFile(source, kept);
}

std::optional<FileError> keepFiles(const QString& dataFolder, const QStringList& fileNames, const QStringList& sources,
    const QString& infix, const QDateTime& now, Keeping keeping, QStringList* keptPaths)
{
    QStringList made(fileNames.size());
    if (keptPaths)
        *keptPaths = made;
    if (std::none_of(sources.begin(), sources.end(), [](const QString& source) { return QFileInfo(source).isFile(); }))
        return std::nullopt;

    const QString folder = BackupFolder::path(dataFolder);
    const bool folderWasThere = QFileInfo(folder).isDir();
    if (std::optional<FileError> failure = makeFolder(folder))
        return failure;
    const QString suffix = freeSuffix(folder, fileNames, infix, stampOf(now));
    for (int i = 0; i < fileNames.size(); ++i) {
        if (!QFileInfo(sources[i]).isFile())
            continue;
        const QString kept = filePathIn(folder, fileNames[i] + infix + suffix);
        if (std::optional<FileError> failure = keepOne(sources[i], kept, keeping)) {
            removeBackups(made);
            // A failure leaves the data folder as it found it.
            if (!folderWasThere)
                QDir().rmdir(folder);
            return failure;
        }
        made[i] = kept;
    }
    if (keptPaths)
        *keptPaths = made;
    return std::nullopt;
}

} // namespace

std::optional<FileError> keepBackupCopies(const QString& dataFolder, const QStringList& fileNames, const QString& infix,
    const QDateTime& now, QStringList* copyPaths)
{
    QStringList sources;
    for (const QString& fileName : fileNames)
        sources.append(filePathIn(dataFolder, fileName));
    return keepFiles(dataFolder, fileNames, sources, infix, now, Keeping::Copy, copyPaths);
}

std::optional<FileError> keepBackupPair(const QString& dataFolder, const QStringList& fileNames,
    const QStringList& replaced, const QDateTime& now, QStringList* keptPaths)
{
    return keepFiles(dataFolder, fileNames, replaced, BackupFolder::saveInfix, now, Keeping::LinkWhereSafe, keptPaths);
}

void removeBackups(const QStringList& paths)
{
    for (const QString& path : paths) {
        if (!path.isEmpty())
            QFile::remove(path);
    }
}

void removeOldSaveBackups(
    const QString& dataFolder, const QStringList& fileNames, const QStringList& keptPaths, int kept)
{
    QStringList keptNames;
    for (const QString& path : keptPaths)
        keptNames.append(QFileInfo(path).fileName());
    // A set is known by its suffix, ordered by its stamp and then its number: the bare stamp first, then "-2"….
    using Suffix = std::tuple<QString, int, QString>;
    std::map<Suffix, QStringList> sets;
    std::optional<Suffix> keptSet;
    const QFileInfoList entries
        = QDir(BackupFolder::path(dataFolder)).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& fileName : fileNames) {
        const QRegularExpression form(
            QStringLiteral("^%1%2((\\d{8}-\\d{6})(?:-(\\d{1,9}))?)$")
                .arg(QRegularExpression::escape(fileName), QRegularExpression::escape(BackupFolder::saveInfix)));
        for (const QFileInfo& entry : entries) {
            const QRegularExpressionMatch match = form.match(entry.fileName());
            if (!match.hasMatch())
                continue;
            const QString number = match.captured(3);
            const Suffix suffix { match.captured(2), number.isEmpty() ? 1 : number.toInt(), match.captured(1) };
            sets[suffix].append(entry.filePath());
            if (keptNames.contains(entry.fileName()))
                keptSet = suffix;
        }
    }
    // A pair stamped later than the one just written was made while the clock ran ahead: this save cannot tell
    // how old it is, and leaves it.
    if (!keptSet)
        return;
    std::vector<const QStringList*> ranked;
    for (const auto& [suffix, paths] : sets) {
        if (suffix <= *keptSet)
            ranked.push_back(&paths);
    }
    for (size_t i = 0; i + size_t(kept) < ranked.size(); ++i)
        removeBackups(*ranked[i]);
}

} // namespace kuranote
