#include "scripteddesktop.h"

#include <QTest>

template <typename T> std::optional<T> ScriptedDesktop::next(const QString& what)
{
    if (m_script.empty() || !std::holds_alternative<T>(m_script.front())) {
        const QString complaint = QStringLiteral("unexpected request: ") + what;
        m_unexpected.append(complaint);
        QTest::qFail(qPrintable(complaint), __FILE__, __LINE__);
        return std::nullopt;
    }
    T answer = std::get<T>(m_script.front());
    m_script.pop_front();
    return answer;
}

std::optional<kuranote::SavedState> ScriptedDesktop::choose(QWidget*, const std::vector<kuranote::SavedState>& states)
{
    m_offered = states;
    const std::optional<Choice> choice = next<Choice>(QStringLiteral("choose a saved state"));
    if (!choice || !choice->row || *choice->row >= states.size())
        return std::nullopt;
    return states[*choice->row];
}

bool ScriptedDesktop::open(const QString& folder)
{
    m_opened.append(folder);
    const std::optional<Opening> opening = next<Opening>(QStringLiteral("open ") + folder);
    return opening && opening->opened;
}

QString ScriptedDesktop::chooseFileToOpen(QWidget*, const QString&, const QStringList& filters)
{
    m_lastFilters = filters;
    const std::optional<FileChoice> choice = next<FileChoice>(QStringLiteral("choose a file"));
    return choice ? choice->path : QString();
}
