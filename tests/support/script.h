#pragma once

#include <QStringList>
#include <QTest>

#include <deque>
#include <optional>
#include <variant>

// The answers a scripted stand-in for a dialog gives, in order: a request whose answer is not next fails the
// current test, and is remembered so that done() is false at the end.
template <typename... Steps> class Script
{
public:
    using Step = std::variant<Steps...>;

    void push(Step step) { m_steps.push_back(std::move(step)); }

    template <typename T> std::optional<T> next(const QString& request)
    {
        if (m_steps.empty() || !std::holds_alternative<T>(m_steps.front())) {
            const QString complaint = QStringLiteral("unexpected: ") + request;
            m_unexpected.append(complaint);
            QTest::qFail(qPrintable(complaint), __FILE__, __LINE__);
            return std::nullopt;
        }
        T answer = std::get<T>(m_steps.front());
        m_steps.pop_front();
        return answer;
    }

    bool done() const { return m_steps.empty() && m_unexpected.isEmpty(); }
    QString unexpected() const { return m_unexpected.join(QLatin1Char('\n')); }

private:
    std::deque<Step> m_steps;
    QStringList m_unexpected;
};
