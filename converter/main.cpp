#include "converter/window/convertwindow.h"

#include "platform/widgets/catalogueupdatequestion.h"
#include "platform/widgets/japaneseinterface.h"
#include "platform/widgets/qtprompts.h"
#include "start/programstart.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char* argv[])
{
    const QString programName = QStringLiteral("kuranote_conv");
    kuranote::nameProgram();
    const kuranote::CommandLine commandLine = kuranote::readCommandLine(argc, argv, programName,
        QStringLiteral(
            "古い kuradata.csv の取得の印を、kuradata_v2.csv の 1 人目の住人に移します。\n"
            "新しいカタログのファイル FILE を指定すると、それを kuradata_v2.csv にして、4 人の住人の取得の印を\n"
            "すべて引き継ぎます。何が引き継がれるかを見せて確かめてから書き換え、今までのカタログは\n"
            "backup フォルダにコピーしておきます。印は今のカタログのものだけで、組になったアイテムは 4 人の印を\n"
            "そのまま保ち、新しく加わるアイテムは印なしで始まります（FILE についている印は使いません）。"),
        { QStringLiteral("FILE"), QStringLiteral("取り込む新しいカタログのファイル (kuradata_v2.csv の形式)。") });
    if (commandLine.exitCode)
        return *commandLine.exitCode;

    kuranote::ApplicationArguments qtArguments(commandLine.qtArguments);
    QApplication app(qtArguments.count(), qtArguments.values());
    Q_INIT_RESOURCE(resources);
    QTranslator qtTranslator;
    kuranote::useJapaneseInterface(&qtTranslator);

    // The final message carries no title of its own, only the program's name.
    kuranote::QtPrompts prompts(programName);
    const kuranote::StartFolder start = kuranote::openDataFolder(commandLine.folder, prompts);
    if (start.exitCode)
        return *start.exitCode;
    const kuranote::Clock clock = kuranote::systemTime;
    if (!commandLine.argument.isEmpty())
        return kuranote::updateCatalogue(prompts, nullptr, start.folder, commandLine.argument, clock) ? 0 : 1;
    kuranote::ConvertWindow window(prompts, start.folder, clock);
    QObject::connect(&window, &kuranote::ConvertWindow::finished, &app, &QCoreApplication::exit);
    window.show();
    // The conversion starts when the window becomes active; ask for that, since not every desktop
    // activates a new tool window by itself.
    window.activateWindow();
    return app.exec();
}
