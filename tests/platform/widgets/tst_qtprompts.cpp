#include "platform/widgets/qtprompts.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace kuranote;
using namespace Qt::StringLiterals;

// The real message box, shown offscreen and answered by a key as a person would press it: where the focus is.
class tst_QtPrompts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keyAnswersQuestion_data();
    void keyAnswersQuestion();
};

void tst_QtPrompts::keyAnswersQuestion_data()
{
    QTest::addColumn<Prompts::Buttons>("buttons");
    QTest::addColumn<std::optional<Prompts::Answer>>("defaultButton");
    QTest::addColumn<int>("key");
    QTest::addColumn<Prompts::Answer>("answer");

    using Answer = Prompts::Answer;
    using Buttons = Prompts::Buttons;
    QTest::newRow("Enter, no default given: Yes")
        << Buttons::YesNoOrClose << std::optional<Answer>() << int(Qt::Key_Return) << Answer::Yes;
    QTest::newRow("Enter, No the default: No")
        << Buttons::YesNoOrClose << std::optional(Answer::No) << int(Qt::Key_Return) << Answer::No;
    QTest::newRow("Escape, No the default: still no answer")
        << Buttons::YesNoOrClose << std::optional(Answer::No) << int(Qt::Key_Escape) << Answer::Cancel;
    QTest::newRow("Enter, Cancel the default of three")
        << Buttons::YesNoCancel << std::optional(Answer::Cancel) << int(Qt::Key_Enter) << Answer::Cancel;
}

void tst_QtPrompts::keyAnswersQuestion()
{
    QFETCH(Prompts::Buttons, buttons);
    QFETCH(std::optional<Prompts::Answer>, defaultButton);
    QFETCH(int, key);
    QFETCH(Prompts::Answer, answer);

    QtPrompts prompts(u"くらノート"_s);
    bool pressed = false;
    // The box runs its own event loop: the key is pressed from inside it, once the box is up.
    QTimer press;
    press.setInterval(10);
    connect(&press, &QTimer::timeout, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        press.stop();
        pressed = true;
        QWidget* focus = box->focusWidget() ? box->focusWidget() : box;
        QTest::keyClick(focus, Qt::Key(key));
    });
    press.start();

    QCOMPARE(prompts.question(nullptr, u"書き換えますか？"_s, buttons, defaultButton), answer);
    QVERIFY(pressed);
}

QTEST_MAIN(tst_QtPrompts)
#include "tst_qtprompts.moc"
