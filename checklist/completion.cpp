#include "completion.h"

#include "platform/numberformat.h"

namespace kuranote {

Completion completionFor(qint32 acquired, qint32 listed, float trackWidth)
{
    if (listed == 0)
        return { QStringLiteral("0/0"), QStringLiteral("NO DATA"), 1.0f, std::nullopt };
    const double ratio = double(acquired) / double(listed);
    QString percent = formatPercent(ratio);
    if (percent == u"0.0%")
        percent = QStringLiteral("0%");
    else if (percent == u"100.0%")
        percent = QStringLiteral("100%");
    const bool complete = percent == u"100%";
    return { QStringLiteral("%1/%2").arg(acquired).arg(listed), percent, float(ratio * trackWidth) + 1.0f, complete };
}

} // namespace kuranote
