#include "samefile.h"

#include <QFileInfo>

namespace kuranote {

bool isSameFile(const QString& a, const QString& b)
{
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    const QString canonicalB = QFileInfo(b).canonicalFilePath();
    if (canonicalA.isEmpty() || canonicalB.isEmpty())
        return false;
#ifdef Q_OS_WIN
    return canonicalA.compare(canonicalB, Qt::CaseInsensitive) == 0;
#else
    return canonicalA == canonicalB;
#endif
}

} // namespace kuranote
