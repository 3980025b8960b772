#include "unitmasks.h"

#include <algorithm>

namespace kuranote {

UnitMasks::UnitMasks(const std::vector<char16_t>& boundaries, const std::function<quint64(char16_t)>& maskAt)
{
    // Run r covers the units from runStart[r] up to the next run's start.
    std::vector<int> runStart { 0 };
    runStart.insert(runStart.end(), boundaries.begin(), boundaries.end());
    runStart.push_back(0x10000);
    std::vector<quint64> runMask;
    for (size_t run = 0; run + 1 < runStart.size(); ++run)
        runMask.push_back(maskAt(char16_t(runStart[run])));

    std::vector<std::pair<quint64, quint16>> uniformBlocks;
    size_t run = 0;
    for (int high = 0; high < 256; ++high) {
        const int first = high << 8;
        while (runStart[run + 1] <= first)
            ++run;
        if (runStart[run + 1] >= first + 256) {
            auto shared = uniformBlocks.begin();
            while (shared != uniformBlocks.end() && shared->first != runMask[run])
                ++shared;
            if (shared == uniformBlocks.end()) {
                shared = uniformBlocks.insert(shared, { runMask[run], quint16(blockCount()) });
                m_masks.insert(m_masks.end(), 256, runMask[run]);
            }
            m_blockOf[size_t(high)] = shared->second;
            continue;
        }
        m_blockOf[size_t(high)] = quint16(blockCount());
        for (size_t inBlock = run; first + 256 > runStart[inBlock]; ++inBlock) {
            const int from = std::max(runStart[inBlock], first);
            const int to = std::min(runStart[inBlock + 1], first + 256);
            m_masks.insert(m_masks.end(), size_t(to - from), runMask[inBlock]);
        }
    }
}

} // namespace kuranote
