#include "japanesefont.h"

#include <QStringList>

namespace kuranote {
namespace {

const QStringList linuxFonts { QStringLiteral("IPAPGothic"), QStringLiteral("IPAexGothic"),
    QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL PGothic"), QStringLiteral("TakaoPGothic") };

QFont fontOf(const QStringList& windowsFonts, double pointSize, bool bold)
{
    QFont font;
    font.setFamilies(windowsFonts + linuxFonts);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace

QFont japaneseFont(double pointSize, bool bold)
{
    return fontOf({ QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("Yu Gothic UI"),
                      QStringLiteral("Meiryo") },
        pointSize, bold);
}

QFont japaneseInterfaceFont()
{
    return fontOf(
        { QStringLiteral("MS UI Gothic"), QStringLiteral("Yu Gothic UI"), QStringLiteral("Meiryo UI") }, 9, false);
}

} // namespace kuranote
