#include "unansweredrecovery.h"

#include "itemdata/recoveryfile.h"
#include "itemdata/safesave.h"

#include <QDir>
#include <QFileInfo>

namespace kuranote {

std::optional<FileError> unansweredRecovery(const QString& folder)
{
    const QString path = filePathIn(folder, RecoveryFile::fileName);
    if (!QFileInfo::exists(path))
        return std::nullopt;
    return FileError { QDir::toNativeSeparators(path), 0,
        QStringLiteral("くらノートの保存されていない変更の記録が残っています。"
                       "先にくらノートを起動して、その記録に答えてください。") };
}

} // namespace kuranote
