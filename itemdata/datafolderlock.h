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

    // False when another running program holds the folder. A folder where no lock file can be made
    // (a read-only one, where no save can succeed either) is not refused for it.
    bool tryLock();

    // The message for a folder in use, naming it.
    QString inUseMessage() const;

private:
    QString m_folder;
    QLockFile m_lock;
};

} // namespace kuranote
