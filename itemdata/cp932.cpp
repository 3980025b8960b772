#include "cp932.h"

#include "cp932table.h"

namespace kuranote {
namespace {

struct LoadedTable
{
    Cp932Table table;
    std::optional<QString> error;
};

const LoadedTable& loaded()
{
    static const LoadedTable instance = [] {
        LoadedTable result;
        result.error = Cp932Table::load(Cp932Table::ConverterName, &result.table);
        return result;
    }();
    return instance;
}

} // namespace

std::optional<QString> Cp932::tableError()
{
    return loaded().error;
}

qsizetype Cp932::decodeInto(QByteArrayView bytes, char16_t* dest)
{
    const Cp932Table& t = loaded().table;
    char16_t* const begin = dest;
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const auto* const end = p + bytes.size();
    while (p < end) {
        const uchar b = *p++;
        if (b < 0x80) {
            *dest++ = b;
        } else if (p < end && t.pair[b << 8 | *p] != Cp932Table::Invalid) {
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
    const Cp932Table& t = loaded().table;
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    char* out = bytes.data();
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        const quint16 code = unit < 0x80 ? unit : t.code[unit];
        if (unit >= 0x80 && code == 0)
            return std::nullopt;
        if (code > 0xFF)
            *out++ = char(code >> 8);
        *out++ = char(code);
    }
    bytes.truncate(out - bytes.data());
    return bytes;
}

} // namespace kuranote
