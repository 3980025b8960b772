#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace kuranote {

class DataFolderLock;
class Prompts;

// Both programs are the application "kuranote": so they resolve one user data folder, and the desktop
// ties their windows to the one menu entry. Needs no application object.
void nameProgram();

// The one argument a program takes that is not an option, as --help names and describes it.
struct PositionalArgument
{
    QString name; // empty: the program takes none
    QString description;
};

// What the command line (--help, --version, --folder DIR, the positional argument) asked for.
struct CommandLine
{
    QString folder; // --folder; empty when not given
    QString argument; // the positional argument; empty when not given
    QStringList qtArguments; // the program's name and Qt's own options, for QApplication
    std::optional<int> exitCode; // set when the program ends here, without a window
};

// Reads the command line before any application object exists, so that it works without a display:
// help and version go to standard output (exit code 0), a wrong command line to standard error (exit
// code 2). programName is the executable's name as the user types it. A program that names no positional
// argument refuses one.
CommandLine readCommandLine(int argc, char* argv[], const QString& programName, const QString& description,
    const PositionalArgument& positional = {});

// argc and argv for QApplication, which reads Qt's options from them and keeps them while it lives.
class ApplicationArguments
{
public:
    explicit ApplicationArguments(const QStringList& arguments);
    int& count() { return m_count; }
    char** values() { return m_pointers.data(); }

private:
    std::vector<QByteArray> m_texts;
    std::vector<char*> m_pointers;
    int m_count = 0;
};

// Where the program's files are, or the exit code when the program is to end at once.
struct StartFolder
{
    StartFolder();
    StartFolder(StartFolder&&) noexcept;
    ~StartFolder();

    QString folder;
    std::unique_ptr<DataFolderLock> lock; // held while the program runs; none where no lock can be made
    std::optional<int> exitCode;
};

// Decides the data folder and takes it for this program. A code page 932 table that cannot be built, a
// data folder that cannot be made ready, or one that another running program holds goes to an error box
// (exit code 1), before any window is shown and any file is read. With the folder taken, the temporaries
// that saves and copies killed midway left beside the files and in the backup folder are removed; where no
// lock can be made, the program goes on without it and removes nothing.
StartFolder openDataFolder(const QString& folderOption, Prompts& prompts);

} // namespace kuranote
