#include "settingsfile.h"

#include "fieldreader.h"
#include "fieldwriter.h"
#include "safesave.h"

#include <QDir>

#include <cmath>
#include <limits>

namespace kuranote {

QString unnamedVillager(int villager)
{
    static_assert(villagerCount == 4, "one caption for each villager");
    switch (villager) {
    case 1:
        return QStringLiteral("1st");
    case 2:
        return QStringLiteral("2nd");
    case 3:
        return QStringLiteral("3rd");
    default:
        return QStringLiteral("4th");
    }
}

std::optional<quint32> parseColorText(const QString& text)
{
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    if (!ok || value < 0 || value > 0xFFFFFF)
        return std::nullopt;
    return quint32(value);
}

QString colorText(quint32 bgr)
{
    return QString::number(bgr);
}

std::optional<StoredText> storableName(QString typed)
{
    return StoredText::fromTyped(typed.replace(u'"', u'＂'));
}

std::optional<FileError> SettingsFile::parse(QByteArrayView bytes, const QString& filePath, Settings* settings)
{
    FieldReader reader(bytes);
    int values = 0;
    // Names the line the value begins on, where the user finds it even in a file with several values on a line.
    const auto error = [&](const QString& reason) {
        return FileError { QDir::toNativeSeparators(filePath), reader.fieldLine(), reason };
    };
    const auto cutShort = [&] {
        return FileError { QDir::toNativeSeparators(filePath), 0,
            QStringLiteral("設定が %1 行そろっていません（%2 行しかありません）。").arg(lineCount).arg(values - 1) };
    };
    QByteArrayView field;
    const auto next = [&] {
        ++values;
        if (reader.atEnd())
            return false;
        field = reader.readField();
        return true;
    };
    const auto size = [&](float* value) -> std::optional<FileError> {
        if (!next())
            return cutShort();
        const std::optional<double> number = parseDecimal(field);
        if (!number)
            return error(QStringLiteral("大きさ「%1」が数値ではありません。").arg(quotedInMessage(field)));
        // Beyond single precision the size would be saved as "inf", which no later start could read.
        if (std::abs(*number) > double(std::numeric_limits<float>::max()))
            return error(QStringLiteral("大きさ「%1」が大きすぎます。").arg(quotedInMessage(field)));
        *value = float(*number);
        return std::nullopt;
    };
    // The search window's size is only ever written by the program as a whole number; anything
    // else reads as 0, and the window's minimum size then applies.
    const auto seekSize = [&](qint32* value) -> std::optional<FileError> {
        if (!next())
            return cutShort();
        const std::optional<double> number = parseDecimal(field);
        const bool fits = number && std::abs(*number) <= std::numeric_limits<qint32>::max();
        *value = fits ? qint32(std::nearbyint(*number)) : 0;
        return std::nullopt;
    };
    const auto text = [&](StoredText* value) -> std::optional<FileError> {
        if (!next())
            return cutShort();
        *value = StoredText::fromBytes(field);
        return std::nullopt;
    };

    Settings read;
    if (auto failure = text(&read.townname))
        return failure;
    for (int villager = 1; villager <= villagerCount; ++villager) {
        if (auto failure = text(&read.villagername[villager]))
            return failure;
        if (auto failure = text(&read.namecolor[villager]))
            return failure;
        if (villager == 1 && !parseColorText(read.namecolor[1].text()))
            return error(QStringLiteral("名前の色「%1」が色の数値ではありません。").arg(read.namecolor[1].text()));
        if (auto failure = text(&read.bgcolor[villager]))
            return failure;
        if (villager == 1 && !parseColorText(read.bgcolor[1].text()))
            return error(QStringLiteral("背景色「%1」が色の数値ではありません。").arg(read.bgcolor[1].text()));
    }
    if (auto failure = size(&read.mainWidth))
        return failure;
    if (auto failure = size(&read.mainHeight))
        return failure;
    if (auto failure = seekSize(&read.seekwidth))
        return failure;
    if (auto failure = seekSize(&read.seekheight))
        return failure;
    for (float& width : read.columnWidths) {
        if (auto failure = size(&width))
            return failure;
    }
    *settings = std::move(read);
    return std::nullopt;
}

std::optional<FileError> SettingsFile::load(const QString& folder, Settings* settings)
{
    const QString path = filePathIn(folder, fileName);
    QByteArray bytes;
    if (std::optional<FileError> failure = readWholeFile(path, &bytes))
        return failure;
    return parse(bytes, path, settings);
}

QByteArray SettingsFile::encode(const Settings& settings)
{
    FieldWriter writer;
    const auto text = [&](const StoredText& value) {
        writer.text(value.bytes());
        writer.endLine();
    };
    const auto number = [&](double value) {
        writer.number(value);
        writer.endLine();
    };
    text(settings.townname);
    for (int villager = 1; villager <= villagerCount; ++villager) {
        text(settings.villagername[villager]);
        text(settings.namecolor[villager]);
        text(settings.bgcolor[villager]);
    }
    number(settings.mainWidth);
    number(settings.mainHeight);
    number(settings.seekwidth);
    number(settings.seekheight);
    for (float width : settings.columnWidths)
        number(width);
    return writer.take();
}

std::optional<FileError> SettingsFile::save(const QString& folder, const Settings& settings)
{
    return writeFileSafely(filePathIn(folder, fileName), encode(settings));
}

} // namespace kuranote
