#pragma once

#include "fielderror.h"

#include <QString>

#include <optional>

namespace kuranote {

// The folders a program may keep its files in, as found when it starts.
struct DataFolderPlaces
{
    QString option; // the folder named on the command line; empty when none was
    QString programFolder; // the folder of the executable
    QString userFolder; // the user's own data folder
    QString sampleFolder; // the installed sample files; empty when none were found
};

// Decides, once at start, the folder every file is read from and written to: the folder named on the
// command line; else the program's folder when it holds the catalogue (a portable folder, the
// programs beside their files); else the user's own folder, created when missing and given each
// sample file it lacks. A file already there is never overwritten. The folder comes back absolute, so
// that every message names a full path.
std::optional<FileError> decideDataFolder(const DataFolderPlaces& places, QString* folder);

// The installed sample files: share/kuranote/sample under the parent of the executable's folder,
// else under the system's data folders; empty when no such folder holds a catalogue.
QString findSampleFolder(const QString& programFolder);

} // namespace kuranote
