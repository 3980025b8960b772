// The checklist's save: the one place that knows its order, which is its safety.
#include "checklistdocument.h"

#include "itemdata/backupfolder.h"
#include "itemdata/datafile.h"

#include <QDir>
#include <QFileInfo>

namespace kuranote {

namespace {

const QStringList savedFileNames { DataFile::fileName, SettingsFile::fileName };

SaveResult failed(const FileError& failure)
{
    return { false, failure };
}

// The folders whose names the save changed, each made durable once; the first that cannot be is named.
std::optional<FileError> syncFolders(const QStringList& files)
{
    QStringList folders;
    for (const QString& file : files) {
        if (!file.isEmpty() && !folders.contains(QFileInfo(file).path()))
            folders.append(QFileInfo(file).path());
    }
    for (const QString& folder : folders) {
        if (const std::optional<QString> reason = syncFolder(folder)) {
            return FileError { QDir::toNativeSeparators(folder), 0,
                QStringLiteral("セーブしましたが、フォルダの変更をディスクに書き出せませんでした。"
                               "電源が切れると、前のファイルに戻るおそれがあります: %1")
                    .arg(*reason) };
        }
    }
    return std::nullopt;
}

} // namespace

SaveResult ChecklistDocument::kurasave(SaveQuestions& questions, const WindowLayout& layout)
{
    // Asked once: reading the catalogue for its digest is the slow part of the check.
    const QStringList changedElsewhere = filesChangedElsewhere();
    if (!changedElsewhere.isEmpty() && !questions.overwriteChangedFiles(changedElsewhere))
        return {};

    StagedFile data(m_saveCalls);
    FileStamper dataStamper;
    if (std::optional<FileError> failure = DataFile::stage(m_folder, m_items, &data, &dataStamper))
        return failed(*failure);
    Settings settings = m_settings;
    settings.mainWidth = float(layout.mainWindow.width());
    settings.mainHeight = float(layout.mainWindow.height());
    settings.columnWidths = layout.columnWidths;
    const QByteArray settingsBytes = SettingsFile::encode(settings);
    StagedFile settingsFile(m_saveCalls);
    if (std::optional<FileError> failure
        = settingsFile.write(filePathIn(m_folder, SettingsFile::fileName), settingsBytes))
        return failed(*failure);

    // Files that hold nothing a save would lose (no change unsaved, nothing changed elsewhere) are not kept again.
    QStringList backup;
    if (m_modified || !changedElsewhere.isEmpty()) {
        if (std::optional<FileError> failure
            = keepBackupPair(m_folder, savedFileNames, { data.target(), settingsFile.target() }, m_clock(), &backup)) {
            if (!questions.saveWithoutBackup(*failure))
                return {};
        }
    }

    if (std::optional<FileError> failure = data.commit()) {
        removeBackups(backup);
        return failed(*failure);
    }
    m_recovery.dataFileSaved(dataStamper.stamp(), m_items, m_settings);
    // With the catalogue replaced, its backup is the only copy of what it held: the pair stays whatever follows.
    // The settings' changes stay unsaved then, and the recovery file keeps them.
    if (std::optional<FileError> failure = settingsFile.commit())
        return failed(*failure);
    m_settings = settings;
    m_recovery.settingsFileSaved(FileStamp::of(settingsBytes), m_items, m_settings);
    m_modified = false;

    const SaveResult result { true,
        syncFolders({ data.target(), settingsFile.target(), backup.value(0), backup.value(1) }) };
    removeOldSaveBackups(m_folder, savedFileNames, backup);
    return result;
}

SaveResult ChecklistDocument::goBackTo(const SavedStateContents& state)
{
    StagedFile data(m_saveCalls);
    if (std::optional<FileError> failure = data.write(filePathIn(m_folder, DataFile::fileName), state.catalogue))
        return failed(*failure);
    // A catalogue kept alone (before an update or a conversion) goes back with the settings as they are.
    StagedFile settingsFile(m_saveCalls);
    const QString settingsPath = filePathIn(m_folder, SettingsFile::fileName);
    if (!state.settings.isEmpty()) {
        if (std::optional<FileError> failure = settingsFile.write(settingsPath, state.settings))
            return failed(*failure);
    }
    // Kept whatever changed, so that going back can itself be undone from the same list; without that pair
    // nothing is replaced.
    QStringList backup;
    const QString settingsTarget = state.settings.isEmpty() ? settingsPath : settingsFile.target();
    if (std::optional<FileError> failure
        = keepBackupPair(m_folder, savedFileNames, { data.target(), settingsTarget }, m_clock(), &backup))
        return failed(*failure);

    if (std::optional<FileError> failure = data.commit()) {
        removeBackups(backup);
        return failed(*failure);
    }
    std::optional<FileError> problem;
    if (!state.settings.isEmpty())
        problem = settingsFile.commit();
    if (!problem)
        problem = syncFolders({ data.target(), settingsTarget, backup.value(0), backup.value(1) });
    removeOldSaveBackups(m_folder, savedFileNames, backup);
    // The catalogue is replaced whatever followed: the checklist shows the files as they now are.
    if (std::optional<FileError> failure = reload())
        return failed(*failure);
    return { true, problem };
}

} // namespace kuranote
