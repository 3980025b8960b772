#pragma once

#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace kuranote {

// The mapping of code page 932, read once from ICU's converter so that it is Microsoft's whatever Qt was built with:
// 0x5C is a backslash, 0x8160 is U+FF5E, and the NEC and IBM twins decode to the same characters.
struct Cp932Table
{
    static constexpr char16_t Invalid = 0xFFFD;
    // ICU's own name of the table it also calls "windows-31j".
    static constexpr const char* ConverterName = "ibm-943_P15A-2003";

    // Until loaded, every byte above ASCII is Invalid and no such character has a code.
    std::array<char16_t, 256> single;
    // By first byte << 8 | second byte; a character only where a lead byte is followed by a trail byte.
    std::vector<char16_t> pair = std::vector<char16_t>(0x10000, Invalid);
    std::vector<quint16> code = std::vector<quint16>(0x10000, 0); // by character; below 0x100 for a single byte

    Cp932Table();

    // Fills the table from ICU's converter of that name, or says why it cannot, in words for the user.
    static std::optional<QString> load(const char* converterName, Cp932Table* table);
};

inline bool isCp932LeadByte(uchar b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

inline bool isCp932TrailByte(uchar b)
{
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

} // namespace kuranote
