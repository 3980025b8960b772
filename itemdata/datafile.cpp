#include "datafile.h"

#include "fieldreader.h"
#include "fieldwriter.h"
#include "safesave.h"

#include <QDir>
#include <QFile>

#include <cmath>
#include <cstring>
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

// The texts hold offsets of 32 bits.
constexpr qint64 MaxFileSize = std::numeric_limits<quint32>::max() - 1;

// Reads the records of a catalogue whose bytes come a piece at a time.
class RecordReader final
{
public:
    RecordReader(const QString& filePath, ItemTable* table)
        : m_filePath(filePath)
        , m_table(table)
    {
    }

    FileError error(int line, const QString& reason) const
    {
        return FileError { QDir::toNativeSeparators(m_filePath), line, reason };
    }

    // Reads the records that lie whole in data, which begins where the last record read ended, and tells how
    // many bytes they took. When data reaches the file's end it holds the rest of the file.
    std::optional<FileError> read(QByteArrayView data, bool reachesFileEnd, qsizetype* used)
    {
        constexpr int TextCount = ItemTable::FieldCount;
        constexpr int FlagCount = ItemTable::VillagerCount;
        FieldReader reader(data, m_line);
        *used = 0;
        while (!reader.atEnd()) {
            const int recordLine = reader.line();
            std::array<QByteArrayView, TextCount> texts;
            std::array<QByteArrayView, FlagCount> flagFields;
            std::array<int, FlagCount> flagLines {};
            int f = 0;
            for (; f < TextCount + FlagCount && !reader.atEnd(); ++f) {
                const QByteArrayView field = reader.readField();
                if (f < TextCount) {
                    texts[f] = field;
                } else {
                    flagFields[f - TextCount] = field;
                    flagLines[f - TextCount] = reader.fieldLine();
                }
            }
            // A record that touches the end of the bytes at hand may go on in the bytes still to come.
            if (!reachesFileEnd && reader.atEnd())
                return std::nullopt;
            if (f < TextCount + FlagCount) {
                return error(recordLine,
                    QStringLiteral("レコードの途中でファイルが終わっています（11 項目のうち %1 項目しかありません）。")
                        .arg(f));
            }
            std::array<quint8, FlagCount> flags {};
            for (int v = 0; v < FlagCount; ++v) {
                switch (parseFlag(flagFields[v], &flags[v])) {
                case FlagStatus::Ok:
                    break;
                case FlagStatus::NotANumber:
                    return error(flagLines[v],
                        QStringLiteral("%1 番目の取得フラグ「%2」が数値ではありません。")
                            .arg(v + 1)
                            .arg(quotedInMessage(flagFields[v])));
                case FlagStatus::OutOfRange:
                    return error(flagLines[v],
                        QStringLiteral("%1 番目の取得フラグ「%2」が 0 から 255 の範囲にありません。")
                            .arg(v + 1)
                            .arg(quotedInMessage(flagFields[v])));
                }
            }
            if (!m_table->appendRecord(texts, flags))
                return error(recordLine, QStringLiteral("ファイルが大きすぎます。"));
            *used = reader.position();
            m_line = reader.line();
        }
        return std::nullopt;
    }

private:
    QString m_filePath;
    ItemTable* m_table;
    int m_line = 1;
};

} // namespace

std::optional<FileError> DataFile::parse(QByteArrayView bytes, const QString& filePath, ItemTable* table)
{
    RecordReader reader(filePath, table);
    if (bytes.size() > MaxFileSize)
        return reader.error(0, QStringLiteral("ファイルが大きすぎます。"));
    *table = ItemTable(bytes.size());
    qsizetype used = 0;
    if (std::optional<FileError> failure = reader.read(bytes, true, &used))
        return failure;
    table->squeeze();
    return std::nullopt;
}

std::optional<FileError> DataFile::read(QIODevice* device, const QString& filePath, ItemTable* table, qsizetype piece)
{
    RecordReader reader(filePath, table);
    if (device->size() > MaxFileSize)
        return reader.error(0, QStringLiteral("ファイルが大きすぎます。"));
    *table = ItemTable(device->size());
    QByteArray buffer(piece, Qt::Uninitialized);
    qsizetype pending = 0;
    for (;;) {
        // A record longer than the buffer makes it grow.
        if (pending == buffer.size())
            buffer.resize(buffer.size() * 2);
        const qint64 got = device->read(buffer.data() + pending, buffer.size() - pending);
        if (got < 0)
            return reader.error(0, device->errorString());
        const qsizetype filled = pending + qsizetype(got);
        qsizetype used = 0;
        if (std::optional<FileError> failure = reader.read(QByteArrayView(buffer).first(filled), got == 0, &used))
            return failure;
        if (got == 0)
            break;
        pending = filled - used;
        std::memmove(buffer.data(), buffer.constData() + used, size_t(pending));
    }
    table->squeeze();
    return std::nullopt;
}

std::optional<FileError> DataFile::load(const QString& folder, ItemTable* table)
{
    const QString path = filePathIn(folder, fileName);
    QFile file(path);
    const auto failure = [&](const QString& reason) { return FileError { QDir::toNativeSeparators(path), 0, reason }; };
    if (!file.exists())
        return failure(QStringLiteral("ファイルがありません。"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return failure(file.errorString());
    return read(&file, path, table);
}

namespace {

void writeRecord(const ItemTable& table, int record, FieldWriter* writer)
{
    if (table.encodesBack(record)) {
        for (const QStringView text : table.texts(record))
            writer->decodedText(text);
    } else {
        for (int f = 0; f < ItemTable::FieldCount; ++f)
            writer->text(table.keptBytes(record, ItemTable::Field(f)));
    }
    for (int villager = 1; villager <= ItemTable::VillagerCount; ++villager)
        writer->number(qint64(table.flag(record, villager)));
    writer->endLine();
}

} // namespace

QByteArray DataFile::encode(const ItemTable& table)
{
    FieldWriter writer;
    for (int record = 1; record <= table.count(); ++record)
        writeRecord(table, record, &writer);
    return writer.take();
}

std::optional<FileError> DataFile::save(const QString& folder, const ItemTable& table)
{
    // Written a piece at a time, into one buffer that stays in the processor's cache.
    constexpr qsizetype Piece = 256 * 1024;
    FieldWriter writer(2 * Piece);
    int record = 1;
    return writeFileSafely(filePathIn(folder, fileName), [&]() {
        writer.clear();
        while (record <= table.count() && writer.written().size() < Piece)
            writeRecord(table, record++, &writer);
        return writer.written();
    });
}

} // namespace kuranote
