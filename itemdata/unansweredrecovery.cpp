#include "unansweredrecovery.h"

#include "recoveryfile.h"
#include "safesave.h"
#include "settingsfile.h"

#include <QDir>
#include <QFileInfo>

namespace kuranote {

std::optional<FileError> unansweredRecovery(
    const QString& folder, const ItemTable& catalogue, const FileStamp& catalogueStamp)
{
    const QString live = filePathIn(folder, RecoveryFile::fileName);
    if (QFileInfo::exists(live)) {
        return FileError { QDir::toNativeSeparators(live), 0,
            QStringLiteral("くらノートの保存されていない変更の記録が残っています。"
                           "先にくらノートを起動して、その記録に答えてください。") };
    }
    return setAsideRecoveryThatFits(folder, catalogue, catalogueStamp);
}

QStringList setAsideRecoveries(const QString& folder)
{
    return QDir(folder).entryList(
        { RecoveryFile::fileName + QStringLiteral("-*") }, QDir::Files | QDir::Hidden, QDir::Name);
}

std::optional<FileError> setAsideRecoveryThatFits(
    const QString& folder, const ItemTable& catalogue, const FileStamp& catalogueStamp)
{
    const QStringList setAside = setAsideRecoveries(folder);
    if (setAside.isEmpty())
        return std::nullopt;
    // Without settings the checklist cannot start, and no record can restore.
    const QString settingsPath = filePathIn(folder, SettingsFile::fileName);
    QByteArray settingsBytes;
    Settings settings;
    if (readWholeFile(settingsPath, &settingsBytes) || SettingsFile::parse(settingsBytes, settingsPath, &settings))
        return std::nullopt;
    const FileStamp settingsStamp = FileStamp::of(settingsBytes);
    for (const QString& name : setAside) {
        const QString path = filePathIn(folder, name);
        RecoveryRecord changes;
        if (RecoveryFile::read(path, catalogue, settings, catalogueStamp, settingsStamp, &changes))
            continue;
        if (changes.flags.empty() && changes.texts.empty())
            continue;
        return FileError { QDir::toNativeSeparators(path), 0,
            QStringLiteral("くらノートの保存されていない変更の記録が、別の名前で残っています。"
                           "この記録はまだ今のファイルに復元できますが、カタログを書き換えると復元できなくなります。\n"
                           "その変更を取り戻すには、くらノートを閉じたまま、この記録の名前を「%1」に戻して"
                           "くらノートを起動してください。復元するかどうかを聞かれます。"
                           "要らない記録なら、このファイルを削除してください。")
                .arg(RecoveryFile::fileName) };
    }
    return std::nullopt;
}

} // namespace kuranote
