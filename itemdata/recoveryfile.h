#pragma once

#include "datafile.h"
#include "fielderror.h"
#include "storedtext.h"

#include <QByteArray>

#include <optional>
#include <vector>

namespace kuranote {

// What tells a file's content apart: its size and a digest of its bytes. A modification time
// cannot: a copy, a sync tool or a clock set back can leave it as it was over new bytes.
struct FileStamp
{
    qint64 size = 0;
    QByteArray digest; // BLAKE2b-256: as safe as SHA-256 against a chance match, and faster here

    static FileStamp of(QByteArrayView bytes);

    friend bool operator==(const FileStamp& a, const FileStamp& b) { return a.size == b.size && a.digest == b.digest; }
    friend bool operator!=(const FileStamp& a, const FileStamp& b) { return !(a == b); }
};

// Whether the file at path holds other bytes than those of the stamp. A missing file, or a folder
// in its place, holds nothing a save could overwrite, and counts as unchanged; a file that cannot
// be read cannot be vouched for, and counts as changed.
bool fileChangedSince(const QString& path, const FileStamp& stamp);

// The texts of the settings that the user edits.
enum class SettingsText { TownName, VillagerName, NameColor, BackColor };

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

} // namespace RecoveryFile
} // namespace kuranote
