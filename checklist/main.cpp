#include "checklist/checklistdocument.h"
#include "checklist/main_window/form1.h"
#include "checklist/main_window/savedstatechooser.h"
#include "platform/widgets/filechooser.h"
#include "platform/widgets/folderopener.h"
#include "platform/widgets/japaneseinterface.h"
#include "platform/widgets/qtprompts.h"
#include "start/programstart.h"

#include <QApplication>
#include <QScreen>
#include <QTranslator>

int main(int argc, char* argv[])
{
    kuranote::nameProgram();
    const kuranote::CommandLine commandLine = kuranote::readCommandLine(argc, argv, QStringLiteral("kuranote"),
        QStringLiteral("くらノート: 村の住人ごとに、集めたアイテムをチェックします。"));
    if (commandLine.exitCode)
        return *commandLine.exitCode;

    kuranote::ApplicationArguments qtArguments(commandLine.qtArguments);
    QApplication app(qtArguments.count(), qtArguments.values());
    Q_INIT_RESOURCE(resources);
    QTranslator qtTranslator;
    kuranote::useJapaneseInterface(&qtTranslator);

    kuranote::QtPrompts prompts(QStringLiteral("くらノート"));
    const kuranote::StartFolder start = kuranote::openDataFolder(commandLine.folder, prompts);
    if (start.exitCode)
        return *start.exitCode;
    kuranote::ChecklistDocument document(start.folder);
    kuranote::DialogStateChooser savedStates;
    kuranote::DesktopFolderOpener folders;
    kuranote::DialogFileChooser files;
    kuranote::Form1 form(document, { prompts, savedStates, folders, files });
    if (!form.Form_Load())
        return 1;
    const QRect screen = form.screen()->availableGeometry();
    form.move(screen.center() - form.rect().center());
    form.show();
    return QApplication::exec();
}
