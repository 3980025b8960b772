#include "convertwindow.h"

#include "itemdata/cp932.h"
#include "platform/japaneseinterface.h"
#include "platform/qtprompts.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(resources);
    QCoreApplication::setApplicationName(QStringLiteral("kuranote_conv"));
    QTranslator qtTranslator;
    kuranote::useJapaneseInterface(&qtTranslator);

    // The final message carries no title of its own, only the program's.
    kuranote::QtPrompts prompts(QGuiApplication::applicationDisplayName());
    if (const std::optional<QString> failure = kuranote::Cp932::tableError()) {
        prompts.error(nullptr, *failure);
        return 1;
    }
    kuranote::ConvertWindow window(prompts, QCoreApplication::applicationDirPath());
    QObject::connect(&window, &kuranote::ConvertWindow::finished, &app, &QCoreApplication::exit);
    window.show();
    // The conversion starts when the window becomes active; ask for that, since not every desktop
    // activates a new tool window by itself.
    window.activateWindow();
    return app.exec();
}
