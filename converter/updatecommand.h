#pragma once

#include <QString>

namespace kuranote {

class Prompts;

// The converter started with a newer catalogue: refuses with an error, or shows what the update will do
// and asks; on Yes keeps a copy of the current catalogue and writes the newer one with its ticks, and
// names the copy. The exit code: 0 when the update was written, 1 when it was refused or declined.
int runCatalogueUpdate(Prompts& prompts, const QString& folder, const QString& newerPath);

} // namespace kuranote
