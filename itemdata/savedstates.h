#pragma once

#include "fielderror.h"
#include "sizes/checklistsizes.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace kuranote {

// A state of the files that a save, an update or a conversion replaced, as the backup folder keeps it.
struct SavedState
{
    enum class Kind { Save, BeforeUpdate, BeforeConversion };

    Kind kind = Kind::Save;
    // When it was replaced, by the clock of that moment; "-2"… tells the states of one second apart.
    QDateTime stamp;
    int number = 1;
    QString cataloguePath;
    // Empty where the catalogue alone was kept (before an update or a conversion).
    QString settingsPath;
};

// What a saved state holds, read and checked as a start would read it.
struct SavedStateContents
{
    QByteArray catalogue;
    QByteArray settings; // empty for a catalogue kept alone
    int items = 0;
    // Index 1 to villagerCount: the items each villager has ticked.
    std::array<int, villagerCount + 1> ticks {};
};

// Every state the backup folder of dataFolder holds, newest stamp first. A stamp is read from the
// name, never from the file's time, so that the list orders as the names do whatever the clock did.
std::vector<SavedState> listSavedStates(const QString& dataFolder);

// Reads both files of a state into memory and checks them with the readers of the live files, so that
// what is written back can be read again and nothing done meanwhile (a rotation) can take it away.
std::optional<FileError> readSavedState(const SavedState& state, SavedStateContents* contents);

} // namespace kuranote
