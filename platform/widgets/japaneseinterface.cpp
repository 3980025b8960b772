#include "japaneseinterface.h"

#include "japanesefont.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace kuranote {

void useJapaneseInterface(QTranslator* qtTranslator)
{
    QApplication::setFont(japaneseInterfaceFont());
    if (qtTranslator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTranslator);
}

} // namespace kuranote
