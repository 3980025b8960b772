#include "convertwindow.h"

#include "platform/japanesefont.h"
#include "platform/qtprompts.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(resources);
    QCoreApplication::setApplicationName(QStringLiteral("kuranote_conv"));
    // The same Japanese font as the checklist, so that no text shows as empty boxes.
    QApplication::setFont(kuranote::japaneseFont(QApplication::font().pointSizeF(), false));

    // The standard buttons of the message boxes in Japanese, like the rest of the program.
    QTranslator qtTranslator;
    if (qtTranslator.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslator);

    // The final message carries no title of its own, only the program's.
    kuranote::QtPrompts prompts(QGuiApplication::applicationDisplayName());
    kuranote::ConvertWindow window(prompts, QCoreApplication::applicationDirPath());
    QObject::connect(&window, &kuranote::ConvertWindow::finished, &app, &QCoreApplication::exit);
    window.show();
    return app.exec();
}
