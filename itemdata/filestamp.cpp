#include "filestamp.h"

#include <QFile>
#include <QFileInfo>

namespace kuranote {

FileStamp FileStamp::of(QByteArrayView bytes)
{
    return { bytes.size(), digestOf(bytes) };
}

void FileStamper::add(QByteArrayView piece)
{
    m_hash.addData(piece);
    m_size += piece.size();
}

FileStamp FileStamper::stamp() const
{
    return { m_size, m_hash.result() };
}

QByteArray digestOf(QByteArrayView bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Blake2b_256);
}

bool fileChangedSince(const QString& path, const FileStamp& stamp)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return false;
    if (info.size() != stamp.size)
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    // Read in pieces: the catalogue may be large, and only its digest is wanted.
    FileStamper stamper;
    while (!file.atEnd()) {
        const QByteArray piece = file.read(1 << 20);
        if (piece.isEmpty())
            return true;
        stamper.add(piece);
    }
    return stamper.stamp() != stamp;
}

} // namespace kuranote
