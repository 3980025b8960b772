#include "cp932.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>
#include <vector>

namespace kuranote {
namespace {

constexpr char16_t Invalid = 0xFFFD;

bool isLeadByte(uchar b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool isTrailByte(uchar b)
{
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

struct DecodeTable
{
    std::array<char16_t, 256> single {};
    std::vector<char16_t> pair = std::vector<char16_t>(0x10000, Invalid);

    DecodeTable()
    {
        // Every code above ASCII is decoded once, each followed by a line feed so that an invalid code
        // cannot swallow its neighbour; a code is valid when it comes back as exactly one character.
        single.fill(Invalid);
        for (int b = 0; b < 0x80; ++b)
            single[b] = char16_t(b);
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
            char16_t& slot = code < 0x100 ? single[code] : pair[code];
            slot = valid ? piece[0].unicode() : Invalid;
        }
    }
};

const DecodeTable& table()
{
    static const DecodeTable instance;
    return instance;
}

} // namespace

qsizetype Cp932::decodeInto(QByteArrayView bytes, char16_t* dest)
{
    const DecodeTable& t = table();
    char16_t* const begin = dest;
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const auto* const end = p + bytes.size();
    while (p < end) {
        const uchar b = *p++;
        if (b < 0x80) {
            *dest++ = b;
        } else if (isLeadByte(b) && p < end && isTrailByte(*p) && t.pair[b << 8 | *p] != Invalid) {
            *dest++ = t.pair[b << 8 | *p++];
        } else {
            *dest++ = t.single[b];
        }
    }
    return dest - begin;
}

QString Cp932::decode(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    text.resize(decodeInto(bytes, reinterpret_cast<char16_t*>(text.data())));
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
