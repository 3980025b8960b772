#include "cp932.h"

#include "cp932table.h"

namespace kuranote {
namespace {

constexpr quint32 Invalid = Cp932Table::Invalid;
// Beside the unit in a decoding entry: the code is the one written for the unit; the byte leads a
// double-byte code.
constexpr quint32 Reversible = 0x10000;
constexpr quint32 Lead = 0x20000;

// An encoding entry: the code's bytes in the order they are written, and their number above them.
quint32 encodingEntry(quint16 code)
{
    return code < 0x100 ? (1u << 16 | code) : (2u << 16 | quint32(code & 0xFF) << 8 | quint32(code >> 8));
}

struct Tables
{
    // Decoding entries: the unit, with Reversible and Lead.
    std::array<quint32, 256> single {};
    std::vector<quint32> pair = std::vector<quint32>(0x10000, Invalid);
    // The encoding entry of the code written for each unit that has one; 0 for the others.
    std::vector<quint32> encoding = std::vector<quint32>(0x10000, 0);
    std::optional<QString> error;

    Tables()
    {
        Cp932Table source;
        error = Cp932Table::load(Cp932Table::ConverterName, &source);
        for (int b = 0; b < 0x100; ++b) {
            if (b < 0x80) {
                single[size_t(b)] = quint32(b) | Reversible;
                encoding[size_t(b)] = encodingEntry(quint16(b));
            } else {
                single[size_t(b)] = isCp932LeadByte(uchar(b)) ? Lead | Invalid : source.single[size_t(b)];
            }
        }
        for (size_t code = 0x100; code < pair.size(); ++code)
            pair[code] = source.pair[code];
        for (size_t unit = 0x80; unit < encoding.size(); ++unit) {
            if (const quint16 code = source.code[unit]) {
                encoding[unit] = encodingEntry(code);
                (code < 0x100 ? single[code] : pair[code]) |= Reversible;
            }
        }
    }
};

const Tables& tables()
{
    static const Tables instance;
    return instance;
}

} // namespace

std::optional<QString> Cp932::tableError()
{
    return tables().error;
}

Cp932::Decoded Cp932::decodeInto(QByteArrayView bytes, char16_t* dest)
{
    const Tables& t = tables();
    char16_t* const begin = dest;
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const auto* const end = p + bytes.size();
    quint32 all = Reversible;
    while (p < end) {
        const uchar b = *p++;
        quint32 entry = t.single[b];
        // A lead byte not followed by a trail byte that makes a valid code with it decodes alone.
        if ((entry & Lead) && p < end) {
            const quint32 pairEntry = t.pair[size_t(b << 8 | *p)];
            if ((pairEntry & 0xFFFF) != Invalid) {
                entry = pairEntry;
                ++p;
            }
        }
        *dest++ = char16_t(entry);
        all &= entry;
    }
    return { dest - begin, all == Reversible };
}

qsizetype Cp932::encodeDecodedInto(QStringView text, char* dest)
{
    const Tables& t = tables();
    char* const begin = dest;
    // Two bytes are always stored and the second kept only for a double-byte code: no branch to mispredict.
    for (const QChar unit : text) {
        const quint32 entry = t.encoding[unit.unicode()];
        Q_ASSERT(entry != 0);
        dest[0] = char(entry);
        dest[1] = char(entry >> 8);
        dest += entry >> 16;
    }
    return dest - begin;
}

QString Cp932::decode(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    text.resize(decodeInto(bytes, reinterpret_cast<char16_t*>(text.data())).units);
    return text;
}

std::optional<QByteArray> Cp932::encode(const QString& text)
{
    const Tables& t = tables();
    for (const QChar unit : text) {
        if (t.encoding[unit.unicode()] == 0)
            return std::nullopt;
    }
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    bytes.truncate(encodeDecodedInto(text, bytes.data()));
    return bytes;
}

} // namespace kuranote
