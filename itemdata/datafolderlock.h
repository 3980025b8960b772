#pragma once

#include <QLockFile>
#include <QString>

namespace kuranote {

// One program at a time on a data folder: two copies of the checklist would each save over the other
// and share one recovery file. The lock is a file beside the catalogue, held while the program runs; a
// lock left by a process that no longer runs is taken over.
class DataFolderLock final
{
public:
    static constexpr const char* fileName = "kuranote.lock";

    explicit DataFolderLock(const QString& folder);

    enum class Outcome {
        Taken,
        HeldByAnother,
        // No lock file can be made here (a read-only folder, a permission): the folder is not refused for it,
        // since no save can succeed there either, but nothing in it may be taken for this program's own.
        CannotLock,
    };
    Outcome tryLock();

    // The message for a folder in use, naming it.
    QString inUseMessage() const;

private:
    QString m_folder;
    QLockFile m_lock;
};

} // namespace kuranote
