#include "datafolderlock.h"

#include <QDir>

namespace kuranote {

DataFolderLock::DataFolderLock(const QString& folder)
    : m_folder(folder)
    , m_lock(QDir(folder).filePath(QString::fromLatin1(fileName)))
{
    // A lock is stale only when its process is gone, never for its age: the checklist runs for hours.
    m_lock.setStaleLockTime(0);
}

DataFolderLock::Outcome DataFolderLock::tryLock()
{
    if (m_lock.tryLock(0))
        return Outcome::Taken;
    return m_lock.error() == QLockFile::LockFailedError ? Outcome::HeldByAnother : Outcome::CannotLock;
}

QString DataFolderLock::inUseMessage() const
{
    return QStringLiteral("このフォルダは、ほかのくらノートがすでに開いています。\n%1\n\n"
                          "同じフォルダのファイルを二つ同時に開くと、変更が失われます。"
                          "開いているくらノートを終了してから、もう一度起動してください。")
        .arg(QDir::toNativeSeparators(m_folder));
}

} // namespace kuranote
