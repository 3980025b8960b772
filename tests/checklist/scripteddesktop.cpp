#include "scripteddesktop.h"

std::optional<kuranote::SavedState> ScriptedDesktop::choose(QWidget*, const std::vector<kuranote::SavedState>& states)
{
    m_offered = states;
    const std::optional<Choice> choice = m_script.next<Choice>(QStringLiteral("choose a saved state"));
    if (!choice || !choice->row || *choice->row >= states.size())
        return std::nullopt;
    return states[*choice->row];
}

bool ScriptedDesktop::open(const QString& folder)
{
    m_opened.append(folder);
    const std::optional<Opening> opening = m_script.next<Opening>(QStringLiteral("open ") + folder);
    return opening && opening->opened;
}

QString ScriptedDesktop::chooseFileToOpen(QWidget*, const QString&, const QStringList& filters)
{
    m_lastFilters = filters;
    const std::optional<FileChoice> choice = m_script.next<FileChoice>(QStringLiteral("choose a file"));
    return choice ? choice->path : QString();
}
