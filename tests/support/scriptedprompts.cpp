#include "scriptedprompts.h"

#include <QTest>

template <typename T> std::optional<T> ScriptedPrompts::next(const QString& text)
{
    m_shown.append(text);
    return m_script.template next<T>(QStringLiteral("prompt ") + text);
}

kuranote::Prompts::Answer ScriptedPrompts::question(
    QWidget*, const QString& text, Buttons buttons, std::optional<Answer> defaultButton)
{
    m_lastButtons = buttons;
    m_lastDefaultButton = defaultButton;
    return next<Answer>(text).value_or(Answer::Cancel);
}

void ScriptedPrompts::message(QWidget*, const QString& text)
{
    next<MessageShown>(text);
}

void ScriptedPrompts::error(QWidget*, const QString& text)
{
    next<ErrorShown>(text);
}

QString ScriptedPrompts::input(QWidget*, const QString& prompt, const QString& title, const QString& text)
{
    m_lastTitle = title;
    m_lastDefaultText = text;
    return next<QString>(prompt).value_or(QString());
}

std::optional<QColor> ScriptedPrompts::chooseColor(QWidget*, const QColor& initial)
{
    m_lastInitialColor = initial;
    return next<std::optional<QColor>>(QStringLiteral("colour")).value_or(std::nullopt);
}
