#include "scriptedprompts.h"

#include <QTest>

template <typename T> std::optional<T> ScriptedPrompts::next(const QString& text)
{
    m_shown.append(text);
    if (m_script.empty() || !std::holds_alternative<T>(m_script.front())) {
        const QString complaint = QStringLiteral("unexpected prompt: ") + text;
        m_unexpected.append(complaint);
        QTest::qFail(qPrintable(complaint), __FILE__, __LINE__);
        return std::nullopt;
    }
    T answer = std::get<T>(m_script.front());
    m_script.pop_front();
    return answer;
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
