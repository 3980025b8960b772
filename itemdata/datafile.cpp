#include "datafile.h"

#include "fieldreader.h"
#include "fieldwriter.h"
#include "safesave.h"

#include <QDir>

#include <cmath>
#include <limits>

namespace kuranote {
namespace {

enum class FlagStatus { Ok, NotANumber, OutOfRange };

FlagStatus parseFlag(QByteArrayView field, quint8* value)
{
    if (field.size() == 1 && field[0] >= '0' && field[0] <= '9') {
        *value = quint8(field[0] - '0');
        return FlagStatus::Ok;
    }
    // A header record made by another tool may hold a word where a flag belongs; it reads as 0
    // and is written back as 0, which keeps such a file loadable.
    if (std::none_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        *value = 0;
        return FlagStatus::Ok;
    }
    const std::optional<double> number = parseDecimal(field);
    if (!number)
        return FlagStatus::NotANumber;
    const double rounded = std::nearbyint(*number);
    if (rounded < 0 || rounded > 255)
        return FlagStatus::OutOfRange;
    *value = quint8(rounded);
    return FlagStatus::Ok;
}

} // namespace

std::optional<FileError> DataFile::parse(QByteArray bytes, const QString& filePath, ItemTable* table)
{
    const auto error = [&](int line, const QString& reason) {
        return FileError { QDir::toNativeSeparators(filePath), line, reason };
    };
    if (bytes.size() >= qsizetype(std::numeric_limits<quint32>::max()))
        return error(0, QStringLiteral("ファイルが大きすぎます。"));

    *table = ItemTable(std::move(bytes));
    // The table now owns the bytes; read from its copy so that the views point into it.
    const QByteArrayView data = table->storedBytesOfFile();
    FieldReader reader(data);
    std::array<QByteArrayView, ItemTable::FieldCount> texts;
    std::array<quint8, ItemTable::VillagerCount> flags {};
    while (!reader.atEnd()) {
        const int recordLine = reader.line();
        for (int f = 0; f < ItemTable::FieldCount + ItemTable::VillagerCount; ++f) {
            if (reader.atEnd()) {
                return error(recordLine,
                    QStringLiteral("レコードの途中でファイルが終わっています（11 項目のうち %1 項目しかありません）。")
                        .arg(f));
            }
            const QByteArrayView field = reader.readField();
            if (f < ItemTable::FieldCount) {
                texts[f] = field;
                continue;
            }
            switch (parseFlag(field, &flags[f - ItemTable::FieldCount])) {
            case FlagStatus::Ok:
                break;
            case FlagStatus::NotANumber:
                return error(reader.fieldLine(),
                    QStringLiteral("%1 番目の取得フラグ「%2」が数値ではありません。")
                        .arg(f - ItemTable::FieldCount + 1)
                        .arg(quotedInMessage(field)));
            case FlagStatus::OutOfRange:
                return error(reader.fieldLine(),
                    QStringLiteral("%1 番目の取得フラグ「%2」が 0 から 255 の範囲にありません。")
                        .arg(f - ItemTable::FieldCount + 1)
                        .arg(quotedInMessage(field)));
            }
        }
        table->appendRecord(texts, flags);
    }
    return std::nullopt;
}

std::optional<FileError> DataFile::load(const QString& folder, ItemTable* table)
{
    const QString path = filePathIn(folder, fileName);
    QByteArray bytes;
    if (std::optional<FileError> failure = readWholeFile(path, &bytes))
        return failure;
    return parse(std::move(bytes), path, table);
}

QByteArray DataFile::encode(const ItemTable& table)
{
    // Each record adds at most 39 bytes of quotes, commas, flags and line end to its texts.
    FieldWriter writer(table.storedBytesOfFile().size() + qsizetype(table.count()) * 39);
    for (int record = 1; record <= table.count(); ++record) {
        for (int f = 0; f < ItemTable::FieldCount; ++f)
            writer.text(table.storedBytes(record, ItemTable::Field(f)));
        for (int villager = 1; villager <= ItemTable::VillagerCount; ++villager)
            writer.number(qint64(table.flag(record, villager)));
        writer.endLine();
    }
    return writer.take();
}

std::optional<FileError> DataFile::save(const QString& folder, const ItemTable& table)
{
    return writeFileSafely(filePathIn(folder, fileName), encode(table));
}

} // namespace kuranote
