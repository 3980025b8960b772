#pragma once

#include "platform/widgets/prompts.h"
#include "script.h"

#include <QStringList>

// Answers the program's questions from a script, in order, and records every text shown.
// A question nobody expected fails the test; check done() at the end so that a missing
// question fails too. No dialog is ever shown.
class ScriptedPrompts final : public kuranote::Prompts
{
public:
    struct ErrorShown
    {
    };
    struct MessageShown
    {
    };
    void expectQuestion(Answer answer) { m_script.push(answer); }
    void expectError() { m_script.push(ErrorShown {}); }
    void expectMessage() { m_script.push(MessageShown {}); }
    void expectInput(const QString& entered) { m_script.push(entered); }
    void expectColor(std::optional<QColor> chosen) { m_script.push(chosen); }

    // Every text shown, questions, messages, errors and input prompts alike.
    const QStringList& shown() const { return m_shown; }
    QString lastShown() const { return m_shown.isEmpty() ? QString() : m_shown.last(); }
    // The initial colour of the last colour chooser, and the default text of the last input box.
    QColor lastInitialColor() const { return m_lastInitialColor; }
    QString lastDefaultText() const { return m_lastDefaultText; }
    QString lastTitle() const { return m_lastTitle; }
    Buttons lastButtons() const { return m_lastButtons; }
    // The button Enter would have pressed in the last question; nothing for the box's usual one.
    std::optional<Answer> lastDefaultButton() const { return m_lastDefaultButton; }
    bool done() const { return m_script.done(); }
    QString unexpected() const { return m_script.unexpected(); }

    Answer question(QWidget* parent, const QString& text, Buttons buttons,
        std::optional<Answer> defaultButton = std::nullopt) override;
    void message(QWidget* parent, const QString& text) override;
    void error(QWidget* parent, const QString& text) override;
    QString input(QWidget* parent, const QString& prompt, const QString& title, const QString& text) override;
    std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) override;

private:
    template <typename T> std::optional<T> next(const QString& text);

    Script<Answer, ErrorShown, MessageShown, QString, std::optional<QColor>> m_script;
    QStringList m_shown;
    QColor m_lastInitialColor;
    QString m_lastDefaultText;
    QString m_lastTitle;
    Buttons m_lastButtons = Buttons::OkCancel;
    std::optional<Answer> m_lastDefaultButton;
};

// Fails the current test when the script was not played out exactly.
#define VERIFY_PROMPTS_DONE(prompts) QVERIFY2((prompts).done(), qPrintable((prompts).unexpected()))
