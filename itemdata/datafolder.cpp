#include "datafolder.h"

#include "datafile.h"
#include "safesave.h"
#include "settingsfile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace kuranote {

namespace {

const QString sampleSubfolder = QStringLiteral("kuranote/sample");

bool holdsCatalogue(const QString& folder)
{
    return !folder.isEmpty() && QFileInfo::exists(filePathIn(folder, DataFile::fileName));
}

// Copies each sample file the folder lacks; a copy lands whole or not at all.
std::optional<FileError> seedFrom(const QString& sampleFolder, const QString& folder)
{
    const QString wordFileName = QStringLiteral("kuraword.csv");
    for (const QString& name : { DataFile::fileName, SettingsFile::fileName, wordFileName }) {
        const QString target = filePathIn(folder, name);
        const QString sample = filePathIn(sampleFolder, name);
        if (QFileInfo::exists(target) || !QFileInfo::exists(sample))
            continue;
        QByteArray bytes;
        if (std::optional<FileError> failure = readWholeFile(sample, &bytes))
            return failure;
        if (std::optional<FileError> failure = writeFileSafely(target, bytes))
            return failure;
    }
    return std::nullopt;
}

} // namespace

std::optional<FileError> decideDataFolder(const DataFolderPlaces& places, QString* folder)
{
    if (!places.option.isEmpty()) {
        *folder = QDir::cleanPath(QFileInfo(places.option).absoluteFilePath());
        return std::nullopt;
    }
    if (holdsCatalogue(places.programFolder)) {
        *folder = QDir::cleanPath(QFileInfo(places.programFolder).absoluteFilePath());
        return std::nullopt;
    }
    const QString userFolder = QDir::cleanPath(QFileInfo(places.userFolder).absoluteFilePath());
    if (!QDir().mkpath(userFolder))
        return FileError { QDir::toNativeSeparators(userFolder), 0, QStringLiteral("フォルダを作れませんでした。") };
    if (!places.sampleFolder.isEmpty()) {
        if (std::optional<FileError> failure = seedFrom(places.sampleFolder, userFolder))
            return failure;
    }
    *folder = userFolder;
    return std::nullopt;
}

QString findSampleFolder(const QString& programFolder)
{
    // Beside the executable first, so that a package unpacked or installed under any prefix finds its own: the
    // installed layout, or a folder "sample" in the program's folder (the Windows zip, whose own data files
    // may have been taken out).
    QStringList candidates { QDir(programFolder).filePath(QStringLiteral("../share/") + sampleSubfolder),
        QDir(programFolder).filePath(QStringLiteral("sample")) };
    candidates += QStandardPaths::locateAll(
        QStandardPaths::GenericDataLocation, sampleSubfolder, QStandardPaths::LocateDirectory);
    for (const QString& candidate : std::as_const(candidates)) {
        if (holdsCatalogue(candidate))
            return QDir::cleanPath(QFileInfo(candidate).absoluteFilePath());
    }
    return {};
}

} // namespace kuranote
