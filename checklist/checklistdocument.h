#pragma once

#include "checklistsave.h"
#include "itemdata/clock.h"
#include "itemdata/fielderror.h"
#include "itemdata/itemtable.h"
#include "itemdata/safesave.h"
#include "itemdata/savedstates.h"
#include "itemdata/settingsfile.h"
#include "itemrowsource.h"
#include "listcolumn.h"
#include "platform/listmodel.h"
#include "recovery.h"
#include "searchconditions.h"

#include <QObject>
#include <QStringList>

#include <optional>

namespace kuranote {

// The checklist the user keeps: the catalogue with every villager's ticks, the settings record, the
// current villager, the search conditions and the rows they list with their counters. The windows
// only show it and forward what the user does; it announces every change through its signals.
// Flags kept in 16-bit integers use True = -1 and False = 0.
class ChecklistDocument final : public QObject
{
    Q_OBJECT

public:
    explicit ChecklistDocument(QString folder, QObject* parent = nullptr);

    // The folder that holds every file of the checklist.
    const QString& folder() const { return m_folder; }

    // Reads the settings, then the catalogue. On a failure nothing was written.
    std::optional<FileError> load();
    // Reads both files again as a start would, after something replaced them: every cached order, the list,
    // the counters and the stamps follow; the current villager, the conditions and the windows' sizes stay.
    // On a failure nothing changed.
    std::optional<FileError> reload();
    // Writes a state the backup folder kept over the files, byte for byte (a catalogue kept alone leaves the
    // settings file as it is), in the save's order, and reads them again. The pair it replaces is kept in the
    // backup folder even when nothing changed, so that going back can itself be undone; where it cannot be kept,
    // nothing is replaced. Unsaved changes are the caller's to save first: they are not kept.
    SaveResult goBackTo(const SavedStateContents& state);
    // The files on disk that no longer hold what was loaded or last saved: another program, or a
    // person, changed them since. A save would overwrite them.
    QStringList filesChangedElsewhere() const;
    // A recovery record set aside that would still restore against the files as they are on disk, which other
    // files written over them would make useless. Nothing when there is none.
    std::optional<FileError> recoveryKeptAsideThatFits() const;
    // The clock every stamp of the checklist is read from (the backups, a recovery record set aside, the copy an
    // update keeps): the system's, unless a test hands in its own.
    void setClock(Clock clock) { m_clock = std::move(clock); }
    const Clock& clock() const { return m_clock; }
    // The system calls by which a save flushes and replaces its files: the system's, unless a test hands in its own.
    void setSaveCalls(SaveCalls calls) { m_saveCalls = std::move(calls); }
    // Saves the catalogue, then the settings with the window's layout, in an order that keeps them safe: asks
    // before overwriting a file changed elsewhere; writes and flushes both files beside the old ones; keeps the
    // pair it replaces in the backup folder (when there are changes, or a file changed elsewhere), asking before it
    // saves without; only then replaces both, makes their names durable, and removes the oldest backups. What it
    // saved is no longer kept in the recovery file.
    SaveResult kurasave(SaveQuestions& questions, const WindowLayout& layout);
    // A tick, a name or a colour changed since the files were loaded or last saved.
    bool isModified() const { return m_modified; }

    // Every change a save would write is kept within a moment in a recovery file beside the data
    // file, until a save or the user's choice not to save removes it.
    const RecoveryRecorder& recovery() const { return m_recovery; }
    // Writes the unsaved changes into the recovery file now, without waiting for its timer.
    void recordRecovery();
    // Right after the load: looks for the changes of a session that ended without saving. Changes
    // that belong to the files just loaded wait for restoreRecovery() or discardRecovery(); a file
    // that cannot be read or belongs to other files is moved aside, never applied.
    RecoveryFinding findRecovery();
    // Applies the changes found, before the windows show the checklist: they become unsaved changes.
    // Returns the villagers whose names were restored.
    std::vector<int> restoreRecovery();
    void discardRecovery();
    // Neither applies nor discards the changes found: the file moves to a dated name beside the data
    // file. Returns that name, or nothing when it could not be moved (then no change is recorded this
    // session, since the next write would replace the file).
    std::optional<QString> setRecoveryAside();

    const ItemTable& items() const { return m_items; }
    const Settings& settings() const { return m_settings; }
    int curvillager() const { return m_curvillager; }

    // The filled rows, in the order of the sort column, with the check box of the current villager.
    ReportListModel& list() { return m_list; }
    qint32 getcount() const { return m_getcount; }
    qint32 showcount() const { return m_showcount; }

    // What the list is filled and ordered by; the column it is sorted by is the list's sortKey().
    const SearchConditions& conditions() const { return m_conditions; }
    // Each refills the list with the items that match the key and the show mode.
    void setKey(const QString& key);
    void setShowMode(ShowMode mode);
    void pastelist1();
    // Sorts the list by name or by number, without a refill.
    void setSortOrder(SortOrder order);
    // Sorts the list by a column title; the order chosen in the search window stays as it was.
    void setSortColumn(ListColumn column);
    // A search window loaded afresh shows these, its buttons' first captions. Neither refills nor sorts:
    // the list keeps its rows, and its sort column, until the window's load sets the key.
    void takeLoadedConditions(ShowMode mode, SortOrder order);

    // Turns the current villager's flag of a listed row over, whatever the user did to ask for it: the
    // flag, then the counter, then one announcement, rowTicked().
    void toggleRow(int row);

    // Makes the villager current and retitles the other villagers' columns; the list keeps its rows
    // until the caller fills it. False when the villager is already current: nothing changes then.
    bool switchVillager(int villager);
    void renameVillage(const StoredText& name);
    void renameVillager(const StoredText& name);
    void setNameColor(quint32 bgr);
    void setBackColor(quint32 bgr);

    // The search window's size, written with the settings.
    void setSearchWindowSize(qint32 width, qint32 height);

    // Whether the search window counts as showing (True = -1), kept across its rebuilds. The window
    // itself says so, when it loads, shows, hides or closes.
    qint16 seekshown() const { return m_seekshown; }
    void setSearchWindowShown(bool shown) { m_seekshown = shown ? -1 : 0; }

Q_SIGNALS:
    void listFilled();
    // The counters changed with a fill.
    void countsChanged();
    // A listed row's flag and the acquired counter changed: the list shows the one check box anew.
    void rowTicked(int row);
    // The key, the show mode or the order changed, and the list was filled or sorted by it.
    void conditionsChanged();
    void villageNameChanged();
    void villagerNameChanged(int villager);
    void nameColorChanged();

private:
    std::optional<FileError> readFiles();
    void pastelist2(int record, std::vector<int>& rows);
    void markModified() { m_modified = true; }
    void setText(SettingsText field, const StoredText& value);

    QString m_folder;
    ItemTable m_items;
    Settings m_settings;
    quint8 m_curvillager = 1;
    ReportListModel m_list { std::make_unique<ItemRowSource>(*this) };
    SearchConditions m_conditions;
    qint32 m_getcount = 0;
    qint32 m_showcount = 0;
    qint16 m_seekshown = 0;
    bool m_modified = false;
    RecoveryRecorder m_recovery;
    RecoveryRecord m_found;
    Clock m_clock = systemTime;
    SaveCalls m_saveCalls;
};

} // namespace kuranote
