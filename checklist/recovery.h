#pragma once

#include "itemdata/itemtable.h"
#include "itemdata/recoveryfile.h"
#include "itemdata/settingsfile.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <map>
#include <utility>

namespace kuranote {

// Keeps the checklist's unsaved changes in the recovery file beside the data file, so that a crash,
// a power cut or a killed session loses at most the last moments. Changes are gathered and written
// together a short while after the first of them, never once per tick; each write replaces the whole
// file through a safe save, so that a kill leaves it whole, with or without the latest changes.
// It remembers the value each changed flag and text had in the files, and writes only what differs
// from them: the file is there exactly while something is unsaved. It keeps no view of the checklist:
// the current values are handed to each write, and the timer asks for one through due().
class RecoveryRecorder final : public QObject
{
    Q_OBJECT

public:
    // The longest a change waits before it is written.
    static constexpr int delayMs = 300;

    explicit RecoveryRecorder(QString filePath, QObject* parent = nullptr);

    const QString& filePath() const { return m_filePath; }

    // The files as they were just loaded: every change is measured against them from now on.
    void begin(const FileStamp& dataFile, const FileStamp& settingsFile);
    // Called before a value changes, with the value it has until then: the first such call after a
    // load or a save gives the value of the files.
    void flagChanging(int record, int villager, quint8 before);
    void textChanging(SettingsText field, int villager, const StoredText& before);
    // A save wrote a file: its values are no longer unsaved changes. What is still unsaved, as items
    // and settings now hold it, is written at once.
    void dataFileSaved(const FileStamp& stamp, const ItemTable& items, const Settings& settings);
    void settingsFileSaved(const FileStamp& stamp, const ItemTable& items, const Settings& settings);
    const FileStamp& dataFile() const { return m_dataFile; }
    const FileStamp& settingsFile() const { return m_settingsFile; }

    // Writes what items and settings hold unsaved, or removes the file when nothing is.
    void recordNow(const ItemTable& items, const Settings& settings);
    // Changes wait to be written.
    bool isPending() const { return m_timer.isActive(); }
    // Forgets the changes and removes the file: the user chose not to keep them.
    void discard();
    // Never touches the file again this session: it holds what another session left and could not be moved.
    void keepOffFile();

Q_SIGNALS:
    // The changes have waited long enough: the owner of the values calls recordNow().
    void due();

private:
    void schedule();
    void settle(const ItemTable& items, const Settings& settings);
    void removeFile();
    RecoveryRecord unsavedChanges(const ItemTable& items, const Settings& settings) const;

    QString m_filePath;
    FileStamp m_dataFile;
    FileStamp m_settingsFile;
    std::map<std::pair<int, int>, quint8> m_flagsInFile; // by record and villager
    std::map<std::pair<SettingsText, int>, StoredText> m_textsInFile; // by field and villager
    QTimer m_timer;
    bool m_keptOff = false;
};

// What a start found of a session that ended without saving.
struct RecoveryFinding
{
    enum class Kind { None, Offered, SetAside };
    Kind kind = Kind::None;
    QString filePath; // native separators, as shown to the user
    int changes = 0; // Offered: how many values differ from the files
    std::optional<FileError> problem; // SetAside: why it cannot be used
    QString asidePath; // SetAside: the name it was moved to; empty when it could not be moved
};

// Gives the file a name that says when it was moved, now; the new path, or nothing when it could not be moved.
std::optional<QString> moveAside(const QString& path, const QDateTime& now);

} // namespace kuranote
