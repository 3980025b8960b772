#pragma once

#include "itemdata/fielderror.h"
#include "listcolumn.h"

#include <QSizeF>
#include <QStringList>

#include <array>
#include <optional>

namespace kuranote {

// The questions a save may have to ask before it replaces anything. The main window asks the user; tests answer.
class SaveQuestions
{
public:
    virtual ~SaveQuestions() = default;
    // files (as shown to the user) were changed elsewhere since they were loaded or last saved: overwrite them?
    virtual bool overwriteChangedFiles(const QStringList& files) = 0;
    // The files about to be replaced could not be kept in the backup folder, for failure: save without them?
    virtual bool saveWithoutBackup(const FileError& failure) = 0;
};

// What only the main window knows of what the settings file keeps, at the moment of the save, in twips.
struct WindowLayout
{
    QSizeF mainWindow;
    std::array<float, listColumnCount> columnWidths {};
};

struct SaveResult
{
    // Both files were replaced.
    bool saved = false;
    // What the user is to be told: why a file could not be saved, or, with both saved, that their folder could
    // not be made durable. Nothing when the save went through, or when an answer stopped it.
    std::optional<FileError> problem;
};

} // namespace kuranote
