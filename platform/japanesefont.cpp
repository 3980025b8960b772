#include "japanesefont.h"

#include <QStringList>

namespace kuranote {

QFont japaneseFont(double pointSize, bool bold)
{
    QFont font;
    font.setFamilies({ QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("Yu Gothic UI"),
        QStringLiteral("Meiryo"), QStringLiteral("IPAPGothic"), QStringLiteral("IPAexGothic"),
        QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL PGothic"), QStringLiteral("TakaoPGothic") });
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace kuranote
