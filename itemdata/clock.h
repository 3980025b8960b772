#pragma once

#include <QDateTime>

#include <functional>

namespace kuranote {

// Where every stamp the programs put in a file name is read: the backups of a save, the catalogue's copies before
// an update or a conversion, a recovery record set aside. Each program has one, the system's; a test hands in its
// own to set it back or forward.
using Clock = std::function<QDateTime()>;

inline QDateTime systemTime()
{
    return QDateTime::currentDateTime();
}

} // namespace kuranote
