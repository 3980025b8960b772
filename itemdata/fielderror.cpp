#include "fielderror.h"

namespace kuranote {

QString FileError::message() const
{
    if (line > 0)
        return QStringLiteral("%1\n%2 行目: %3").arg(filePath, QString::number(line), reason);
    return QStringLiteral("%1\n%2").arg(filePath, reason);
}

} // namespace kuranote
