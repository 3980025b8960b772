#pragma once

#include <QString>

#include <optional>

namespace kuranote {

class Prompts;

// Both programs are the application "kuranote": so they resolve one user data folder, and the desktop
// ties their windows to the one menu entry. Call once the application object exists.
void nameProgram();

// Where the program's files are, or the exit code when the program is to end at once.
struct StartFolder
{
    QString folder;
    std::optional<int> exitCode;
};

// Reads the command line (--help, --version, --folder DIR) and decides the data folder. Help and version
// go to standard output (exit code 0), a wrong command line to standard error (exit code 2), and a data
// folder that cannot be made ready, or a code page 932 table that cannot be built, to an error box (exit code 1),
// all before any window is shown and any file is read.
// programName is the executable's name as the user types it.
StartFolder readCommandLine(const QString& programName, const QString& description, Prompts& prompts);

} // namespace kuranote
