#pragma once

#include <QColor>
#include <QString>

#include <optional>

class QWidget;

namespace kuranote {

// Every message, input and colour box goes through here, so that tests can answer them.
class Prompts
{
public:
    // YesNoOrClose shows Yes and No, but closing the box (Escape, the window's close button) answers
    // Cancel: for a question whose No cannot be undone, where no answer must not count as one.
    enum class Buttons { OkCancel, YesNo, YesNoCancel, YesNoOrClose, YesCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~Prompts() = default;

    // A question with the program's title and a question-mark icon. Closing the box answers Cancel,
    // or No where there is no Cancel (but see YesNoOrClose). Enter presses defaultButton, or, when none is
    // given, the first of Yes and OK: a doubtful question gives No, so that Enter writes nothing.
    virtual Answer question(
        QWidget* parent, const QString& text, Buttons buttons, std::optional<Answer> defaultButton = std::nullopt)
        = 0;
    // A message with an OK button only.
    virtual void message(QWidget* parent, const QString& text) = 0;
    virtual void error(QWidget* parent, const QString& text) = 0;
    // The text entered, or the empty text on Cancel.
    virtual QString input(QWidget* parent, const QString& prompt, const QString& title, const QString& text) = 0;
    // The colour chosen, or nothing on Cancel.
    virtual std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) = 0;
};

} // namespace kuranote
