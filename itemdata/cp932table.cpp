#include "cp932table.h"

#include <unicode/ucnv.h>

#include <memory>

namespace kuranote {
namespace {

bool isNecSelected(quint16 code)
{
    return code >= 0xED00 && code < 0xEF00;
}

// Where several codes decode to one character, Microsoft's converter writes the lowest of them, except that
// the NEC-selected IBM extensions give way to the IBM extensions of the same characters. The codes come in rising
// order, so a later code wins only over a NEC-selected one.
bool isPreferred(quint16 code, quint16 over)
{
    return over == 0 || (isNecSelected(over) && !isNecSelected(code));
}

} // namespace

Cp932Table::Cp932Table()
{
    single.fill(Invalid);
    for (int b = 0; b < 0x80; ++b)
        single[b] = char16_t(b);
}

std::optional<QString> Cp932Table::load(const char* converterName, Cp932Table* table)
{
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UConverter, decltype(&ucnv_close)> converter(ucnv_open(converterName, &status), ucnv_close);
    if (U_SUCCESS(status))
        ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    if (U_FAILURE(status)) {
        return QStringLiteral("日本語の文字（コードページ 932）の変換表を用意できません。\n"
                              "ICU の変換表「%1」を開けません（%2）。")
            .arg(QString::fromLatin1(converterName), QString::fromLatin1(u_errorName(status)));
    }

    // Each code alone, so that an invalid one cannot swallow a neighbour; a code is valid when ICU turns it into
    // exactly one character without an error.
    const auto decoded = [&](const char* bytes, int length) {
        UChar text[2];
        UErrorCode error = U_ZERO_ERROR;
        const int32_t size = ucnv_toUChars(converter.get(), text, 2, bytes, length, &error);
        return U_SUCCESS(error) && size == 1 ? char16_t(text[0]) : Invalid;
    };
    const auto add = [&](quint16 code, char16_t character) {
        if (character != Invalid && isPreferred(code, table->code[character]))
            table->code[character] = code;
    };
    // The ASCII bytes stay themselves: IBM's table behind ICU's swaps some control codes.
    for (int b = 0x80; b < 0x100; ++b) {
        const char byte = char(b);
        if (!isCp932LeadByte(uchar(b))) {
            table->single[b] = decoded(&byte, 1);
            add(quint16(b), table->single[b]);
        }
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!isCp932LeadByte(uchar(lead)))
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (!isCp932TrailByte(uchar(trail)))
                continue;
            const char bytes[2] = { char(lead), char(trail) };
            const quint16 code = quint16(lead << 8 | trail);
            table->pair[code] = decoded(bytes, 2);
            add(code, table->pair[code]);
        }
    }
    return std::nullopt;
}

} // namespace kuranote
