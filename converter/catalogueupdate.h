#pragma once

#include "cataloguemerge.h"

#include "itemdata/fielderror.h"

#include <optional>

namespace kuranote {

// A newer catalogue read and given the current one's ticks, not yet written.
struct CatalogueUpdate
{
    ItemTable merged;
    UpdateSummary summary;
    QStringList villagerNames; // 1 to 4 at 0 to 3
};

// Reads the folder's catalogue and the newer one at newerPath and carries the ticks over. Refused, with
// the reason, while the checklist's record of unsaved changes waits in the folder, when newerPath is the
// folder's own catalogue, and when either file cannot be read as a catalogue.
std::optional<FileError> prepareCatalogueUpdate(
    const QString& folder, const QString& newerPath, CatalogueUpdate* update);

// Copies the folder's catalogue into its backup folder, then puts the merged one in its place through a
// safe save; backupPath names the copy. Nothing is written when the copy cannot be made.
std::optional<FileError> writeCatalogueUpdate(const QString& folder, const ItemTable& merged, QString* backupPath);

} // namespace kuranote
