#include "numberformat.h"

#include <cmath>

namespace kuranote {

QString formatItemNumber(qint64 n)
{
    const quint64 magnitude = n < 0 ? 0 - quint64(n) : quint64(n);
    const QString digits = QString::number(magnitude).rightJustified(4, u'0');
    return n < 0 ? u'-' + digits : digits;
}

QString formatPercent(double ratio)
{
    const double percent = ratio * 100.0;
    const double magnitude = std::abs(percent);
    // Tenths are decided on the product's exact binary value: 1/80 gives exactly 1.25 and rounds up, while
    // 3/2000 gives a little less than 0.15 and rounds down. std::fma yields 10 * magnitude - x with one rounding,
    // so its sign is exact where a plain multiplication could round across the boundary.
    double tenths = std::floor(magnitude * 10.0);
    if (std::fma(10.0, magnitude, -tenths) < 0)
        tenths -= 1;
    else if (std::fma(10.0, magnitude, -(tenths + 1)) >= 0)
        tenths += 1;
    if (std::fma(10.0, magnitude, -(tenths + 0.5)) >= 0)
        tenths += 1;

    const qint64 rounded = qint64(tenths);
    const QString text = QString::number(rounded / 10) + u'.' + QString::number(rounded % 10) + u'%';
    return percent < 0 && rounded != 0 ? u'-' + text : text;
}

} // namespace kuranote
