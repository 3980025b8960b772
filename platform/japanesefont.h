#pragma once

#include <QFont>

namespace kuranote {

// A Japanese font of the given size, falling back through the fonts of Windows and of Linux
// desktops so that Japanese text never shows as empty boxes.
QFont japaneseFont(double pointSize, bool bold);

} // namespace kuranote
