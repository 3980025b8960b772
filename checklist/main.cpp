#include "checklist/checklistdocument.h"
#include "checklist/main_window/form1.h"
#include "itemdata/cp932.h"
#include "platform/japaneseinterface.h"
#include "platform/qtprompts.h"

#include <QApplication>
#include <QScreen>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(resources);
    QApplication::setApplicationName(QStringLiteral("kuranote"));
    QTranslator qtTranslator;
    kuranote::useJapaneseInterface(&qtTranslator);

    kuranote::ChecklistDocument document(QCoreApplication::applicationDirPath());
    kuranote::QtPrompts prompts(QStringLiteral("くらノート"));
    if (const std::optional<QString> failure = kuranote::Cp932::tableError()) {
        prompts.error(nullptr, *failure);
        return 1;
    }
    kuranote::Form1 form(document, prompts);
    if (!form.Form_Load())
        return 1;
    const QRect screen = form.screen()->availableGeometry();
    form.move(screen.center() - form.rect().center());
    form.show();
    return QApplication::exec();
}
