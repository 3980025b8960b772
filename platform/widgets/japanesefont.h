#pragma once

#include <QFont>

namespace kuranote {

// A Japanese font of the given size, falling back through the fonts of Windows and of Linux
// desktops so that Japanese text never shows as empty boxes.
QFont japaneseFont(double pointSize, bool bold);

// The default interface font of the Japanese desktop the windows were laid out on: 9 pt, in the
// interface fonts of Windows, then in the same Linux fonts as above.
QFont japaneseInterfaceFont();

} // namespace kuranote
