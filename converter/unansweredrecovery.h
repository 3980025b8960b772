#pragma once

#include "itemdata/fielderror.h"

#include <optional>

namespace kuranote {

// Why the converter must not rewrite the folder's catalogue: the checklist left a record of unsaved
// changes there that nobody has answered yet. A rewritten catalogue no longer fits the record, and the
// checklist would then set those changes aside unrestored. Nothing when there is no such record.
std::optional<FileError> unansweredRecovery(const QString& folder);

} // namespace kuranote
