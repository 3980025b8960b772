#pragma once

#include "datafile.h"
#include "fielderror.h"
#include "filestamp.h"
#include "settingsfile.h"
#include "storedtext.h"

#include <QByteArray>

#include <optional>
#include <vector>

namespace kuranote {

// The texts of the settings that the user edits.
enum class SettingsText { TownName, VillagerName, NameColor, BackColor };

// The settings' text that a field names, for a villager (0 for the village's name).
StoredText& settingsText(Settings& settings, SettingsText field, int villager);
const StoredText& settingsText(const Settings& settings, SettingsText field, int villager);

// The unsaved changes of a session: every value that differs from the files they apply to, and
// the stamps of those files as they were loaded or last saved.
struct RecoveryRecord
{
    struct Flag
    {
        int record;
        int villager;
        quint8 value;
    };
    struct Text
    {
        SettingsText field;
        int villager; // 0 for the village's name
        StoredText value;
    };

    FileStamp dataFile;
    FileStamp settingsFile;
    std::vector<Flag> flags;
    std::vector<Text> texts;
};

// The recovery file beside the data file. Its first line names the format and carries the size and
// digest of the rest, so that a file cut short or changed in any byte is refused as a whole.
namespace RecoveryFile {

inline const QString fileName = DataFile::fileName + QStringLiteral(".recovery");

QByteArray encode(const RecoveryRecord& record);
std::optional<FileError> parse(QByteArrayView bytes, const QString& filePath, RecoveryRecord* record);

// Reads a recovery file and keeps of it what differs from the files just loaded, whose stamps are given: what the
// checklist's start would offer to restore. Refused when it cannot be read or was written for other files than
// those.
std::optional<FileError> read(const QString& path, const ItemTable& items, const Settings& settings,
    const FileStamp& dataFile, const FileStamp& settingsFile, RecoveryRecord* changes);

} // namespace RecoveryFile
} // namespace kuranote
