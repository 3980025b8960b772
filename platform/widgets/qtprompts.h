#pragma once

#include "prompts.h"

namespace kuranote {

// The prompts as real modal dialogs, under the program's title.
class QtPrompts final : public Prompts
{
public:
    explicit QtPrompts(QString title);

    Answer question(QWidget* parent, const QString& text, Buttons buttons,
        std::optional<Answer> defaultButton = std::nullopt) override;
    void message(QWidget* parent, const QString& text) override;
    void error(QWidget* parent, const QString& text) override;
    QString input(QWidget* parent, const QString& prompt, const QString& title, const QString& text) override;
    std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) override;

private:
    QString m_title;
};

} // namespace kuranote
