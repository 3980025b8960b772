#include "folderopener.h"

#include <QDesktopServices>
#include <QUrl>

namespace kuranote {

bool DesktopFolderOpener::open(const QString& folder)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

} // namespace kuranote
