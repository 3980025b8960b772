#pragma once

#include <QString>

#include <optional>

namespace kuranote {

// What the main window shows of completion for acquired of listed rows, on a bar track of trackWidth twips.
struct Completion
{
    QString countText;
    QString percentText;
    float barWidth; // twips
    std::optional<bool> pictureVisible; // nothing: the picture keeps its visibility
};

Completion completionFor(qint32 acquired, qint32 listed, float trackWidth);

} // namespace kuranote
