#include "recoveryfile.h"

#include "fieldreader.h"
#include "fieldwriter.h"
#include "safesave.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <tuple>
#include <variant>

namespace kuranote {
namespace {

constexpr QByteArrayView formatName = "kuranote recovery";
constexpr qint64 formatVersion = 1;
constexpr QByteArrayView flagWord = "flag";

struct TextWord
{
    SettingsText field;
    QByteArrayView word;
};
constexpr std::array<TextWord, 4> textWords { { { SettingsText::TownName, "town" },
    { SettingsText::VillagerName, "name" }, { SettingsText::NameColor, "namecolor" },
    { SettingsText::BackColor, "backcolor" } } };

QByteArrayView wordOf(SettingsText field)
{
    for (const TextWord& entry : textWords) {
        if (entry.field == field)
            return entry.word;
    }
    Q_UNREACHABLE();
}

// A whole number from min to max, or nothing.
std::optional<qint64> wholeNumber(QByteArrayView field, qint64 min, qint64 max)
{
    const std::optional<double> number = parseDecimal(field);
    if (!number || std::nearbyint(*number) != *number || *number < double(min) || *number > double(max))
        return std::nullopt;
    return qint64(*number);
}

void writeStamp(FieldWriter& writer, const QString& fileName, const FileStamp& stamp)
{
    writer.text(fileName.toLatin1());
    writer.number(stamp.size);
    writer.text(stamp.digest.toHex());
    writer.endLine();
}

} // namespace

StoredText& settingsText(Settings& settings, SettingsText field, int villager)
{
    switch (field) {
    case SettingsText::TownName:
        return settings.townname;
    case SettingsText::VillagerName:
        return settings.villagername[size_t(villager)];
    case SettingsText::NameColor:
        return settings.namecolor[size_t(villager)];
    case SettingsText::BackColor:
        break;
    }
    return settings.bgcolor[size_t(villager)];
}

const StoredText& settingsText(const Settings& settings, SettingsText field, int villager)
{
    return settingsText(const_cast<Settings&>(settings), field, villager);
}

QByteArray RecoveryFile::encode(const RecoveryRecord& record)
{
    FieldWriter body;
    writeStamp(body, DataFile::fileName, record.dataFile);
    writeStamp(body, SettingsFile::fileName, record.settingsFile);
    for (const RecoveryRecord::Flag& flag : record.flags) {
        body.text(flagWord);
        body.number(qint64(flag.record));
        body.number(qint64(flag.villager));
        body.number(qint64(flag.value));
        body.endLine();
    }
    for (const RecoveryRecord::Text& text : record.texts) {
        body.text(wordOf(text.field));
        if (text.field != SettingsText::TownName)
            body.number(qint64(text.villager));
        body.text(text.value.bytes());
        body.endLine();
    }
    const QByteArray bodyBytes = body.take();

    FieldWriter header;
    header.text(formatName);
    header.number(formatVersion);
    header.number(qint64(bodyBytes.size()));
    header.text(digestOf(bodyBytes).toHex());
    header.endLine();
    return header.take() + bodyBytes;
}

std::optional<FileError> RecoveryFile::parse(QByteArrayView bytes, const QString& filePath, RecoveryRecord* record)
{
    const QString shownPath = QDir::toNativeSeparators(filePath);
    const qsizetype headerEnd = bytes.indexOf(QByteArrayView("\r\n"));
    const QByteArrayView body = headerEnd < 0 ? QByteArrayView() : bytes.sliced(headerEnd + 2);

    // The first line: what the file is, and the size and digest of the rest.
    FieldReader header(bytes.first(std::max<qsizetype>(headerEnd, 0)));
    const auto headerField = [&] { return header.atEnd() ? QByteArrayView() : header.readField(); };
    if (headerEnd < 0 || headerField() != formatName)
        return FileError { shownPath, 1, QStringLiteral("くらノートの復元用ファイルではありません。") };
    const QByteArrayView version = headerField();
    if (wholeNumber(version, formatVersion, formatVersion) != formatVersion) {
        return FileError { shownPath, 1,
            QStringLiteral("この形式（%1）の復元用ファイルは読めません。").arg(quotedInMessage(version)) };
    }
    const std::optional<qint64> bodySize = wholeNumber(headerField(), 0, std::numeric_limits<qint32>::max());
    const QByteArray bodyDigest = QByteArray::fromHex(headerField().toByteArray());
    if (!bodySize || bodyDigest.size() != 32)
        return FileError { shownPath, 1, QStringLiteral("1 行目が壊れています。") };
    if (*bodySize != body.size()) {
        return FileError { shownPath, 0,
            QStringLiteral(
                "ファイルが途中で切れているか、後から書き足されています（%1 バイトのはずが %2 バイトあります）。")
                .arg(*bodySize)
                .arg(body.size()) };
    }
    if (digestOf(body) != bodyDigest)
        return FileError { shownPath, 0, QStringLiteral("中身が書き換わっています（確かめの値が合いません）。") };

    // The rest: the two stamps, then one change a line. A digest that matches makes the errors below
    // unlikely; they guard against a file made by hand.
    FieldReader reader(body);
    QByteArrayView field;
    const auto error = [&](const QString& reason) { return FileError { shownPath, reader.fieldLine() + 1, reason }; };
    const auto cutShort = [&] {
        return FileError { shownPath, reader.line() + 1, QStringLiteral("記録の途中でファイルが終わっています。") };
    };
    const auto next = [&] {
        if (reader.atEnd())
            return false;
        field = reader.readField();
        return true;
    };
    const auto number = [&](qint64 min, qint64 max, const QString& what) -> std::variant<qint64, FileError> {
        if (!next())
            return cutShort();
        if (const std::optional<qint64> value = wholeNumber(field, min, max))
            return *value;
        return error(QStringLiteral("%1「%2」が %3 から %4 の範囲の整数ではありません。")
                         .arg(what, quotedInMessage(field))
                         .arg(min)
                         .arg(max));
    };
    const auto stamp = [&](const QString& fileName, FileStamp* read) -> std::optional<FileError> {
        if (!next())
            return cutShort();
        if (field != fileName.toLatin1())
            return error(QStringLiteral("「%1」の大きさと確かめの値がありません。").arg(fileName));
        std::variant<qint64, FileError> size
            = number(0, std::numeric_limits<qint64>::max() / 2, QStringLiteral("大きさ"));
        if (FileError* failure = std::get_if<FileError>(&size))
            return *failure;
        if (!next())
            return cutShort();
        read->size = std::get<qint64>(size);
        read->digest = QByteArray::fromHex(field.toByteArray());
        if (read->digest.size() != 32)
            return error(QStringLiteral("「%1」の確かめの値が壊れています。").arg(fileName));
        return std::nullopt;
    };

    RecoveryRecord read;
    if (std::optional<FileError> failure = stamp(DataFile::fileName, &read.dataFile))
        return failure;
    if (std::optional<FileError> failure = stamp(SettingsFile::fileName, &read.settingsFile))
        return failure;
    while (next()) {
        const QByteArrayView word = field;
        if (word == flagWord) {
            std::array<qint64, 3> values {};
            const std::array<std::tuple<qint64, qint64, QString>, 3> ranges { {
                { 2, std::numeric_limits<qint32>::max(), QStringLiteral("項目の番号") },
                { 1, villagerCount, QStringLiteral("村人の番号") },
                { 0, 255, QStringLiteral("取得フラグ") },
            } };
            for (size_t i = 0; i < values.size(); ++i) {
                std::variant<qint64, FileError> value
                    = number(std::get<0>(ranges[i]), std::get<1>(ranges[i]), std::get<2>(ranges[i]));
                if (FileError* failure = std::get_if<FileError>(&value))
                    return *failure;
                values[i] = std::get<qint64>(value);
            }
            read.flags.push_back({ int(values[0]), int(values[1]), quint8(values[2]) });
            continue;
        }
        const auto known = std::find_if(
            textWords.begin(), textWords.end(), [&](const TextWord& entry) { return entry.word == word; });
        if (known == textWords.end())
            return error(QStringLiteral("「%1」という記録はありません。").arg(quotedInMessage(word)));
        RecoveryRecord::Text text { known->field, 0, {} };
        if (text.field != SettingsText::TownName) {
            std::variant<qint64, FileError> villager = number(1, villagerCount, QStringLiteral("村人の番号"));
            if (FileError* failure = std::get_if<FileError>(&villager))
                return *failure;
            text.villager = int(std::get<qint64>(villager));
        }
        if (!next())
            return cutShort();
        // Names go back into the settings file, where a double quote would end them early.
        if (field.contains('"'))
            return error(QStringLiteral("「%1」に「\"」が含まれています。").arg(quotedInMessage(field)));
        text.value = StoredText::fromBytes(field);
        // Colours are applied as numbers at once; a text that is none could not be shown.
        const bool isColor = text.field == SettingsText::NameColor || text.field == SettingsText::BackColor;
        if (isColor && !parseColorText(text.value.text()))
            return error(QStringLiteral("色「%1」が色の数値ではありません。").arg(quotedInMessage(field)));
        read.texts.push_back(std::move(text));
    }
    *record = std::move(read);
    return std::nullopt;
}

std::optional<FileError> RecoveryFile::read(const QString& path, const ItemTable& items, const Settings& settings,
    const FileStamp& dataFile, const FileStamp& settingsFile, RecoveryRecord* changes)
{
    QByteArray bytes;
    if (std::optional<FileError> failure = readWholeFile(path, &bytes))
        return failure;
    RecoveryRecord record;
    if (std::optional<FileError> failure = parse(bytes, path, &record))
        return failure;
    const auto changedSince = [&](const QString& fileName) {
        return FileError {
            QDir::toNativeSeparators(path), 0,
            QStringLiteral("この記録の後に「%1」が変更されたため、記録はもう今のファイルに合いません。").arg(fileName)
        };
    };
    if (record.dataFile != dataFile)
        return changedSince(DataFile::fileName);
    if (record.settingsFile != settingsFile)
        return changedSince(SettingsFile::fileName);

    RecoveryRecord differing { dataFile, settingsFile, {}, {} };
    for (const RecoveryRecord::Flag& flag : record.flags) {
        if (flag.record > items.count()) {
            return FileError { QDir::toNativeSeparators(path), 0,
                QStringLiteral("項目の番号 %1 が「%2」にありません。").arg(flag.record).arg(DataFile::fileName) };
        }
        if (items.flag(flag.record, flag.villager) != flag.value)
            differing.flags.push_back(flag);
    }
    for (const RecoveryRecord::Text& text : record.texts) {
        if (!(settingsText(settings, text.field, text.villager) == text.value))
            differing.texts.push_back(text);
    }
    *changes = std::move(differing);
    return std::nullopt;
}

} // namespace kuranote
