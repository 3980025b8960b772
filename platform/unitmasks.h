#pragma once

#include <QtGlobal>

#include <array>
#include <functional>
#include <vector>

namespace kuranote {

// A 64-bit mask for every UTF-16 code unit, looked up in two steps: the unit's high byte picks a block of 256
// masks, the low byte the mask. A block that lies within one run of equal masks is shared with every other such
// block of that mask, so a table holds a block only for each place where the mask changes within a block.
class UnitMasks final
{
public:
    UnitMasks() = default;
    // boundaries: ascending units, none of them 0, at which the mask may change; maskAt is asked once for each run
    // of units that starts at 0 or at a boundary.
    UnitMasks(const std::vector<char16_t>& boundaries, const std::function<quint64(char16_t)>& maskAt);

    quint64 operator()(char16_t unit) const { return m_masks[size_t(m_blockOf[unit >> 8]) * 256 + (unit & 0xFF)]; }
    size_t blockCount() const { return m_masks.size() / 256; }

private:
    std::array<quint16, 256> m_blockOf {};
    std::vector<quint64> m_masks;
};

} // namespace kuranote
