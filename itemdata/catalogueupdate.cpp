#include "catalogueupdate.h"

#include "backupfolder.h"
#include "cataloguemerge.h"
#include "datafile.h"
#include "oldfile.h"
#include "safesave.h"
#include "settingsfile.h"
#include "system/samefile.h"
#include "unansweredrecovery.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace kuranote {
namespace {

// Code page 932 Japanese text is almost never valid UTF-8: its lead bytes are mostly followed by bytes that UTF-8
// does not allow there. A short text can be, all the same, so a file that reads as UTF-8 is only warned about.
bool readsAsUtf8(QByteArrayView bytes)
{
    return std::any_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) >= 0x80; }) && bytes.isValidUtf8();
}

std::optional<FileError> readNewerCatalogue(const QString& path, ItemTable* table, bool* utf8)
{
    const auto refusal = [&](const QString& reason) { return FileError { QDir::toNativeSeparators(path), 0, reason }; };
    const QFileInfo info(path);
    if (!info.exists())
        return refusal(QStringLiteral("ファイルがありません。"));
    if (info.isDir())
        return refusal(QStringLiteral("フォルダです。新しいカタログのファイルを指定してください。"));
    QByteArray bytes;
    if (std::optional<FileError> failure = readWholeFile(path, &bytes))
        return failure;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        return refusal(QStringLiteral("UTF-8 の BOM で始まっています。カタログは Shift_JIS（コードページ 932）で"
                                      "保存したファイルでなければなりません。"));
    }
    if (std::optional<FileError> failure = DataFile::parse(bytes, path, table)) {
        QList<OldMark> marks;
        if (OldFile::parse(bytes, path, &marks))
            return failure;
        return refusal(
            QStringLiteral("古い一人用のデータファイル（%1）の形式です。その取得の印を 1 人目の住人に移すには、"
                           "データフォルダに「%1」の名前で置き、引数を付けずに kuranote_conv を"
                           "起動してください。")
                .arg(OldFile::fileName));
    }
    // Without an item the update would take every tick away: surely not the file that was meant.
    if (table->count() == 0)
        return refusal(QStringLiteral("レコードがひとつもありません。カタログのファイルではありません。"));
    if (table->count() == 1) {
        return refusal(
            QStringLiteral("見出しの行のほかにアイテムがひとつもありません。カタログのファイルではありません。"));
    }
    *utf8 = readsAsUtf8(bytes);
    return std::nullopt;
}

// The villagers' names as the checklist shows them; the names it starts with when the settings cannot be read,
// since the update does not need them to be right.
QStringList villagerNamesIn(const QString& folder)
{
    QStringList names;
    Settings settings;
    const bool read = !SettingsFile::load(folder, &settings);
    for (int villager = 1; villager <= ItemTable::VillagerCount; ++villager)
        names.append(read ? settings.villagername[size_t(villager)].text() : unnamedVillager(villager));
    return names;
}

int tickedItems(const ItemTable& table)
{
    int ticked = 0;
    for (int record = 2; record <= table.count(); ++record)
        ticked += hasTick(table, record) ? 1 : 0;
    return ticked;
}

// Of the catalogue that took the current one's ticks.
UpdateSummary summarize(const ItemTable& current, const ItemTable& merged, const Pairing& pairing)
{
    UpdateSummary summary;
    for (int record = 2; record <= merged.count(); ++record) {
        if (pairing.partners[size_t(record - 1)] == 0)
            ++summary.added;
        else if (hasTick(merged, record))
            ++summary.carrying;
    }
    for (const int record : pairing.lost) {
        if (record == 1 || !hasTick(current, record))
            continue;
        if (int(summary.lost.size()) == UpdateSummary::listed) {
            ++summary.lostUnlisted;
            continue;
        }
        UpdateSummary::Lost lost { current.text(record, ItemTable::Name).toString(), {} };
        for (int villager = 1; villager <= ItemTable::VillagerCount; ++villager)
            lost.ticked[size_t(villager - 1)] = current.flag(record, villager) != 0;
        summary.lost.push_back(lost);
    }
    return summary;
}

} // namespace

std::optional<FileError> CatalogueUpdate::plan(
    const QString& folder, const QString& newerPath, CatalogueUpdatePlan* plan)
{
    const QString currentPath = filePathIn(folder, DataFile::fileName);
    const QString absoluteNewer = QDir::cleanPath(QFileInfo(newerPath).absoluteFilePath());
    ItemTable current;
    FileStamper stamper;
    if (std::optional<FileError> failure = DataFile::load(folder, &current, &stamper))
        return failure;
    const FileStamp currentStamp = stamper.stamp();
    if (std::optional<FileError> refusal = unansweredRecovery(folder, current, currentStamp))
        return refusal;
    if (isSameFile(absoluteNewer, currentPath)) {
        return FileError { QDir::toNativeSeparators(absoluteNewer), 0,
            QStringLiteral("このフォルダの今のカタログそのものです。新しいカタログのファイルを指定してください。") };
    }
    ItemTable newer;
    bool utf8 = false;
    if (std::optional<FileError> failure = readNewerCatalogue(absoluteNewer, &newer, &utf8))
        return failure;

    const Pairing pairing = pairRecords(current, newer);
    const int newerTicked = tickedItems(newer);
    takeTicks(current, pairing, &newer);
    plan->summary = summarize(current, newer, pairing);
    plan->summary.newerTicked = newerTicked;
    // The header record aside: it pairs whatever the file holds.
    const bool anyItemPairs = std::any_of(
        std::next(pairing.partners.begin()), pairing.partners.end(), [](int partner) { return partner != 0; });
    plan->nothingPairs = !anyItemPairs && tickedItems(current) > 0;
    plan->readsAsUtf8 = utf8;
    plan->newerPath = QDir::toNativeSeparators(absoluteNewer);
    plan->merged = std::move(newer);
    plan->villagerNames = villagerNamesIn(folder);
    plan->currentStamp = currentStamp;
    return std::nullopt;
}

std::optional<FileError> CatalogueUpdate::commit(
    const QString& folder, const CatalogueUpdatePlan& plan, const QDateTime& now, QString* backupPath)
{
    const QString currentPath = filePathIn(folder, DataFile::fileName);
    const auto refusal = [&](const QString& reason) {
        return FileError { QDir::toNativeSeparators(currentPath), 0, reason };
    };
    // What the question showed was worked out from the catalogue as it was read; a change since (a sync tool, an
    // editor) would be lost without a word.
    if (fileChangedSince(currentPath, plan.currentStamp)) {
        return refusal(QStringLiteral("読み込んだ後に、ほかのプログラムで変更されました。"
                                      "その変更を失わないよう、書き換えませんでした。もう一度やり直してください。"));
    }
    QString copy;
    if (std::optional<FileError> failure
        = keepBackupCopy(folder, DataFile::fileName, BackupFolder::updateInfix, now, &copy))
        return failure;
    // The copy is what makes the update safe to take: without one, nothing is written.
    if (copy.isEmpty())
        return refusal(QStringLiteral("ファイルがありません。"));
    if (std::optional<FileError> failure = DataFile::save(folder, plan.merged))
        return failure;
    *backupPath = copy;
    return std::nullopt;
}

} // namespace kuranote
