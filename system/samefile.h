#pragma once

#include <QString>

namespace kuranote {

// Whether two paths name one existing file, through links and "..", and on Windows whatever the case of
// their letters, as its file systems compare names.
bool isSameFile(const QString& a, const QString& b);

} // namespace kuranote
