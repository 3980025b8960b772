#pragma once

#include <QString>

namespace kuranote {

// "0000": at least four digits, zero-padded (1 -> "0001", 10000 -> "10000").
QString formatItemNumber(qint64 n);

// "0.0%": ratio times 100, rounded to one decimal with halves away from zero (1/16 -> "6.3%").
QString formatPercent(double ratio);

} // namespace kuranote
