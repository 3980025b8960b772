#pragma once

#include "fielderror.h"
#include "filestamp.h"
#include "itemtable.h"

#include <QDateTime>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace kuranote {

// What taking a newer catalogue into use will do, for the question asked before it. Only items count: the header
// record is paired and given ticks like any other, but no list shows it and nobody ticks it.
struct UpdateSummary
{
    struct Lost
    {
        QString name;
        std::array<bool, ItemTable::VillagerCount> ticked;
    };
    static constexpr int listed = 20;

    int carrying = 0; // items of the newer catalogue that take ticks
    int added = 0; // items of the newer catalogue without a partner
    std::vector<Lost> lost; // the first ticked items of the current catalogue that the newer one no longer holds
    int lostUnlisted = 0; // and how many more there are
    int newerTicked = 0; // items of the newer file that carry ticks of their own, which are not taken
};

// A newer catalogue read, checked and given the current catalogue's ticks, not yet written.
struct CatalogueUpdatePlan
{
    QString newerPath; // absolute, with native separators, as shown to the user
    ItemTable merged;
    UpdateSummary summary;
    QStringList villagerNames; // as the checklist shows them, villager 1 to 4 at 0 to 3
    // Doubts worth a warning, with No as the answer Enter gives: the file is valid UTF-8 and not plain ASCII, so it
    // was most likely saved in another encoding than code page 932; or no item pairs while the current catalogue
    // carries ticks, so every tick would go.
    bool readsAsUtf8 = false;
    bool nothingPairs = false;
    FileStamp currentStamp; // the current catalogue as it was read

    bool isDoubtful() const { return readsAsUtf8 || nothingPairs; }
};

// The update of a folder's catalogue by a newer one, in two steps, so that the question can come between them. The
// caller holds the folder's lock.
namespace CatalogueUpdate {

// Reads the folder's catalogue and the newer one at newerPath and gives the newer one the current ticks. Refused,
// with the reason: while a record of the checklist's unsaved changes that would still restore lies in the folder;
// when newerPath is the folder's own catalogue; when either file cannot be read as a catalogue; when the newer one
// holds no item after its header, or starts with UTF-8's byte-order mark, or is the previous version's
// single-player file.
std::optional<FileError> plan(const QString& folder, const QString& newerPath, CatalogueUpdatePlan* plan);

// Copies the folder's catalogue into its backup folder, stamped with now, then puts the merged one in its place
// through a safe save; backupPath names the copy. Nothing is written when the catalogue changed since plan() read
// it, or when the copy cannot be made.
std::optional<FileError> commit(
    const QString& folder, const CatalogueUpdatePlan& plan, const QDateTime& now, QString* backupPath);

} // namespace CatalogueUpdate
} // namespace kuranote
