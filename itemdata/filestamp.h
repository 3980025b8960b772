#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QCryptographicHash>
#include <QString>

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

// The stamp of bytes that pass a piece at a time, as a large file is read or written.
class FileStamper final
{
public:
    void add(QByteArrayView piece);
    FileStamp stamp() const;

private:
    QCryptographicHash m_hash { QCryptographicHash::Blake2b_256 };
    qint64 m_size = 0;
};

// The digest a stamp holds, of any bytes.
QByteArray digestOf(QByteArrayView bytes);

// Whether the file at path holds other bytes than those of the stamp. A missing file, or a folder
// in its place, holds nothing a save could overwrite, and counts as unchanged; a file that cannot
// be read cannot be vouched for, and counts as changed.
bool fileChangedSince(const QString& path, const FileStamp& stamp);

} // namespace kuranote
