#include "datafile.h"

#include "fieldreader.h"
#include "fieldwriter.h"
#include "safesave.h"

#include <QBuffer>
#include <QDir>
#include <QFile>

#include <QScopeGuard>

#include <cmath>
#include <condition_variable>
#include <deque>
#include <limits>
#include <mutex>
#include <thread>

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

// A record as parsed: where its texts lie in the bytes of its piece, 64 bytes so that a piece's records take
// little beside its bytes.
struct ParsedRecord
{
    std::array<quint32, ItemTable::FieldCount> starts;
    std::array<quint32, ItemTable::FieldCount> lengths;
    std::array<quint8, ItemTable::VillagerCount> flags;
    int line;

    std::array<QByteArrayView, ItemTable::FieldCount> texts(const QByteArray& bytes) const
    {
        std::array<QByteArrayView, ItemTable::FieldCount> texts;
        for (int f = 0; f < ItemTable::FieldCount; ++f)
            texts[f] = QByteArrayView(bytes.constData() + starts[f], lengths[f]);
        return texts;
    }
};

// The records read from one piece of the file; their texts point into its bytes.
struct Batch
{
    QByteArray bytes;
    std::vector<ParsedRecord> records;
    // What stopped the reading after these records, if anything did.
    std::optional<FileError> error;
    bool last = false;
};

// Reads a catalogue a piece at a time and parses the records that lie whole in each piece; a record that
// straddles two pieces is read again with the next one. Decoding is left to the caller.
class PieceParser final
{
public:
    PieceParser(QIODevice* device, const QString& filePath, qsizetype piece, FileStamper* stamper)
        : m_device(device)
        , m_stamper(stamper)
        , m_filePath(filePath)
        , m_piece(std::max<qsizetype>(piece, 1))
    {
    }

    FileError error(int line, const QString& reason) const
    {
        return FileError { QDir::toNativeSeparators(m_filePath), line, reason };
    }

    // Reads into a batch given back after use, if any, so that its memory serves again.
    Batch next(Batch batch = {})
    {
        batch.bytes.resize(0);
        batch.bytes.append(m_pending);
        batch.records.clear();
        batch.error.reset();
        batch.last = false;
        qsizetype used = 0;
        for (;;) {
            const qsizetype filled = batch.bytes.size();
            // A record longer than a piece makes the piece grow.
            batch.bytes.resize(filled + std::max(m_piece, filled));
            const qint64 got = m_device->read(batch.bytes.data() + filled, batch.bytes.size() - filled);
            batch.bytes.resize(filled + std::max<qint64>(got, 0));
            if (m_stamper && got > 0)
                m_stamper->add(QByteArrayView(batch.bytes).sliced(filled));
            if (got < 0) {
                batch.error = error(0, m_device->errorString());
                return batch;
            }
            batch.last = got == 0;
            // A record in the program's own form takes at least 30 bytes.
            batch.records.reserve(size_t(batch.bytes.size() / 30));
            batch.error = parse(batch.bytes, batch.last, &batch.records, &used);
            if (batch.error || batch.last || !batch.records.empty())
                break;
        }
        m_pending = batch.bytes.sliced(used);
        batch.bytes.resize(used);
        return batch;
    }

private:
    // Parses the records that lie whole in data, or all of them when data reaches the file's end, and tells how
    // many bytes they took.
    std::optional<FileError> parse(
        QByteArrayView data, bool reachesFileEnd, std::vector<ParsedRecord>* records, qsizetype* used)
    {
        constexpr int TextCount = ItemTable::FieldCount;
        constexpr int FlagCount = ItemTable::VillagerCount;
        FieldReader reader(data, m_line);
        while (!reader.atEnd()) {
            ParsedRecord record { {}, {}, {}, reader.line() };
            std::array<QByteArrayView, FlagCount> flagFields;
            std::array<int, FlagCount> flagLines {};
            int f = 0;
            for (; f < TextCount + FlagCount && !reader.atEnd(); ++f) {
                const QByteArrayView field = reader.readField();
                if (f < TextCount) {
                    record.starts[f] = quint32(field.data() - data.data());
                    record.lengths[f] = quint32(field.size());
                } else {
                    flagFields[f - TextCount] = field;
                    flagLines[f - TextCount] = reader.fieldLine();
                }
            }
            // A record that touches the end of the bytes at hand may go on in the bytes still to come.
            if (!reachesFileEnd && reader.atEnd())
                return std::nullopt;
            if (f < TextCount + FlagCount) {
                return error(record.line,
                    QStringLiteral("レコードの途中でファイルが終わっています（%1 項目のうち %2 項目しかありません）。")
                        .arg(TextCount + FlagCount)
                        .arg(f));
            }
            for (int v = 0; v < FlagCount; ++v) {
                switch (parseFlag(flagFields[v], &record.flags[v])) {
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
            records->push_back(record);
            *used = reader.position();
            m_line = reader.line();
        }
        return std::nullopt;
    }

    QIODevice* m_device;
    FileStamper* m_stamper;
    QString m_filePath;
    qsizetype m_piece;
    QByteArray m_pending;
    int m_line = 1;
};

// Hands the batches from the thread that reads to the one that decodes, the reader at most a few pieces ahead.
class BatchQueue final
{
public:
    // False when the queue was closed: nobody takes the batches any more.
    bool push(Batch batch)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_batches.size() < Depth || m_closed; });
        if (m_closed)
            return false;
        m_batches.push_back(std::move(batch));
        m_changed.notify_all();
        return true;
    }

    Batch pop()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_batches.empty(); });
        Batch batch = std::move(m_batches.front());
        m_batches.pop_front();
        m_changed.notify_all();
        return batch;
    }

    void close()
    {
        const std::lock_guard lock(m_mutex);
        m_closed = true;
        m_changed.notify_all();
    }

    // Batches decoded and given back, so that the reader reuses their memory instead of allocating afresh.
    void giveBack(Batch batch)
    {
        const std::lock_guard lock(m_mutex);
        m_spent.push_back(std::move(batch));
    }
    Batch takeSpent()
    {
        const std::lock_guard lock(m_mutex);
        if (m_spent.empty())
            return {};
        Batch batch = std::move(m_spent.back());
        m_spent.pop_back();
        return batch;
    }

private:
    static constexpr size_t Depth = 4;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Batch> m_batches;
    std::vector<Batch> m_spent;
    bool m_closed = false;
};

} // namespace

std::optional<FileError> DataFile::parse(QByteArrayView bytes, const QString& filePath, ItemTable* table)
{
    QByteArray unowned = QByteArray::fromRawData(bytes.data(), bytes.size());
    QBuffer device(&unowned);
    device.open(QIODevice::ReadOnly);
    return read(&device, filePath, table);
}

std::optional<FileError> DataFile::read(
    QIODevice* device, const QString& filePath, ItemTable* table, qsizetype piece, FileStamper* stamper)
{
    PieceParser parser(device, filePath, piece, stamper);
    if (device->size() > MaxFileSize)
        return parser.error(0, QStringLiteral("ファイルが大きすぎます。"));
    *table = ItemTable(device->size());
    // For a file of more than one piece, a second thread reads and parses while this one decodes: the two halves
    // of the work take about as long each.
    BatchQueue batches;
    std::thread reader;
    if (device->size() > piece) {
        reader = std::thread([&] {
            for (bool more = true; more;) {
                Batch batch = parser.next(batches.takeSpent());
                more = !batch.error && !batch.last;
                more = batches.push(std::move(batch)) && more;
            }
        });
    }
    const auto stopReading = qScopeGuard([&] {
        batches.close();
        if (reader.joinable())
            reader.join();
    });
    for (;;) {
        Batch batch = reader.joinable() ? batches.pop() : parser.next(batches.takeSpent());
        for (const ParsedRecord& record : batch.records) {
            if (!table->appendRecord(record.texts(batch.bytes), record.flags))
                return parser.error(record.line, QStringLiteral("ファイルが大きすぎます。"));
        }
        if (batch.error)
            return batch.error;
        if (batch.last)
            break;
        batches.giveBack(std::move(batch));
    }
    table->squeeze();
    return std::nullopt;
}

std::optional<FileError> DataFile::load(const QString& folder, ItemTable* table, FileStamper* stamper)
{
    const QString path = filePathIn(folder, fileName);
    QFile file(path);
    const auto failure = [&](const QString& reason) { return FileError { QDir::toNativeSeparators(path), 0, reason }; };
    if (!file.exists())
        return failure(QStringLiteral("ファイルがありません。"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return failure(file.errorString());
    return read(&file, path, table, 1 << 20, stamper);
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

namespace {

// Hands the table to write() as pieces of the written file, each encoded into one buffer that stays in the
// processor's cache, so that the file never lies in memory whole.
template <typename Write>
std::optional<FileError> writeInPieces(const ItemTable& table, FileStamper* stamper, Write write)
{
    constexpr qsizetype Piece = 256 * 1024;
    FieldWriter writer(2 * Piece);
    int record = 1;
    return write([&]() -> QByteArrayView {
        writer.clear();
        while (record <= table.count() && writer.written().size() < Piece)
            writeRecord(table, record++, &writer);
        if (stamper)
            stamper->add(writer.written());
        return writer.written();
    });
}

} // namespace

std::optional<FileError> DataFile::save(const QString& folder, const ItemTable& table, FileStamper* stamper)
{
    return writeInPieces(table, stamper, [&](const std::function<QByteArrayView()>& nextPiece) {
        return writeFileSafely(filePathIn(folder, fileName), nextPiece);
    });
}

std::optional<FileError> DataFile::stage(
    const QString& folder, const ItemTable& table, StagedFile* staged, FileStamper* stamper)
{
    return writeInPieces(table, stamper, [&](const std::function<QByteArrayView()>& nextPiece) {
        return staged->write(filePathIn(folder, fileName), nextPiece);
    });
}

} // namespace kuranote
