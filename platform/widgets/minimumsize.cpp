#include "minimumsize.h"

#include "outersize.h"

#include <algorithm>

namespace kuranote {

QSizeF springBackToMinimum(QWidget* window, double minimumWidth, double minimumHeight)
{
    const QSizeF outer = Twips::outerSize(window);
    const QSizeF kept(std::max(outer.width(), minimumWidth), std::max(outer.height(), minimumHeight));
    if (kept != outer)
        Twips::setOuterSize(window, kept.width(), kept.height());
    return kept;
}

} // namespace kuranote
