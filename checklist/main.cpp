#include "checklist/checklistdocument.h"
#include "checklist/main_window/form1.h"
#include "platform/japaneseinterface.h"
#include "platform/programstart.h"
#include "platform/qtprompts.h"

#include <QApplication>
#include <QScreen>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(resources);
    kuranote::nameProgram();
    QTranslator qtTranslator;
    kuranote::useJapaneseInterface(&qtTranslator);

    kuranote::QtPrompts prompts(QStringLiteral("くらノート"));
    const kuranote::StartFolder start = kuranote::readCommandLine(QStringLiteral("kuranote"),
        QStringLiteral("くらノート: 村の住人ごとに、集めたアイテムをチェックします。"), prompts);
    if (start.exitCode)
        return *start.exitCode;
    kuranote::ChecklistDocument document(start.folder);
    kuranote::Form1 form(document, prompts);
    if (!form.Form_Load())
        return 1;
    const QRect screen = form.screen()->availableGeometry();
    form.move(screen.center() - form.rect().center());
    form.show();
    return QApplication::exec();
}
