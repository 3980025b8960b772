#include "cp932.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>
#include <vector>

namespace kuranote {
namespace {

constexpr char16_t Invalid = 0xFFFD;
// Beside the unit in a decoding entry: the code is the one Qt's converter writes for the unit; the byte leads a
// double-byte code.
constexpr quint32 Reversible = 0x10000;
constexpr quint32 Lead = 0x20000;
constexpr quint16 NoCode = 0xFFFF;

// An encoding entry: the code's bytes in the order they are written, and their number above them.
quint32 encodingEntry(quint16 code)
{
    return code < 0x100 ? (1u << 16 | code) : (2u << 16 | quint32(code & 0xFF) << 8 | quint32(code >> 8));
}

bool isLeadByte(uchar b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool isTrailByte(uchar b)
{
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

struct Tables
{
    // Decoding entries: the unit, with Reversible and Lead.
    std::array<quint32, 256> single {};
    std::vector<quint32> pair = std::vector<quint32>(0x10000, Invalid);
    // The encoding entry of the code Qt's converter writes for each unit that has one; 0 for the others.
    std::vector<quint32> encoding = std::vector<quint32>(0x10000, 0);

    Tables()
    {
        // Every code above ASCII is decoded once, each followed by a line feed so that an invalid code
        // cannot swallow its neighbour; a code is valid when it comes back as exactly one character.
        for (int b = 0; b < 0x100; ++b)
            single[size_t(b)] = b < 0x80 ? quint32(b) : isLeadByte(uchar(b)) ? Lead | Invalid : Invalid;
        QByteArray probe;
        std::vector<quint16> codes;
        for (int b = 0x80; b < 0x100; ++b) {
            if (isLeadByte(uchar(b)))
                continue;
            codes.push_back(quint16(b));
            probe.append(char(b)).append('\n');
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!isLeadByte(uchar(lead)))
                continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                if (!isTrailByte(uchar(trail)))
                    continue;
                codes.push_back(quint16(lead << 8 | trail));
                probe.append(char(lead)).append(char(trail)).append('\n');
            }
        }
        QStringDecoder decoder("windows-31j", QStringConverter::Flag::Stateless);
        Q_ASSERT(decoder.isValid());
        const QString decoded = decoder(probe);
        qsizetype pos = 0;
        for (quint16 code : codes) {
            const qsizetype end = decoded.indexOf(u'\n', pos);
            const QStringView piece = QStringView(decoded).mid(pos, end - pos);
            pos = end + 1;
            const bool valid = piece.size() == 1 && piece[0] != u'\x1a' && piece[0] != QChar::ReplacementCharacter;
            entry(code) = valid ? piece[0].unicode() : Invalid;
        }
        takeCodesOfUnits();
    }

    quint32& entry(quint16 code) { return code < 0x100 ? single[code] : pair[code]; }

    // Every unit that some code decodes to is encoded once by Qt, each followed by a line feed (no other code
    // holds the byte 0x0A); the codes that come back are the ones written for their units.
    void takeCodesOfUnits()
    {
        encoding[u'\n'] = encodingEntry('\n');
        single['\n'] |= Reversible;
        QString units;
        for (int code = 0; code < 0x10000; ++code) {
            const quint32 unit = code < 0x100 ? single[size_t(code)] : pair[size_t(code)];
            if ((unit & 0xFFFF) != Invalid && code != '\n')
                units.append(QChar(char16_t(unit))).append(u'\n');
        }
        QStringEncoder encoder("windows-31j", QStringConverter::Flag::Stateless);
        const QByteArray encoded = encoder(units);
        qsizetype pos = 0;
        for (qsizetype i = 0; i < units.size(); i += 2) {
            const qsizetype end = encoded.indexOf('\n', pos);
            const QByteArrayView bytes = QByteArrayView(encoded).sliced(pos, end - pos);
            pos = end + 1;
            quint16 code = NoCode;
            if (bytes.size() == 1)
                code = uchar(bytes[0]);
            else if (bytes.size() == 2)
                code = quint16(uchar(bytes[0]) << 8 | uchar(bytes[1]));
            const char16_t unit = units[i].unicode();
            if (code == NoCode || (entry(code) & 0xFFFF) != unit)
                continue;
            encoding[unit] = encodingEntry(code);
            entry(code) |= Reversible;
        }
    }
};

const Tables& tables()
{
    static const Tables instance;
    return instance;
}

} // namespace

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
    QStringEncoder encoder("windows-31j", QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder(text);
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}

} // namespace kuranote
