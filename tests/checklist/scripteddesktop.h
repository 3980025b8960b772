#pragma once

#include "checklist/main_window/savedstatechooser.h"
#include "platform/widgets/filechooser.h"
#include "platform/widgets/folderopener.h"

#include "script.h"

#include <QStringList>

// Answers the main window's choice of a saved state or of a file, and its requests to open a folder, from a
// script, in order, as ScriptedPrompts answers questions: a request nobody expected fails the test. Nothing is
// shown and no file manager starts.
class ScriptedDesktop final : public kuranote::SavedStateChooser,
                              public kuranote::FolderOpener,
                              public kuranote::FileChooser
{
public:
    struct Choice
    {
        std::optional<size_t> row; // nothing: the choice was closed
    };
    struct Opening
    {
        bool opened;
    };
    struct FileChoice
    {
        QString path; // empty: the chooser was closed
    };

    void expectChoice(std::optional<size_t> row) { m_script.push(Choice { row }); }
    void expectOpening(bool opened) { m_script.push(Opening { opened }); }
    void expectFileChoice(const QString& path) { m_script.push(FileChoice { path }); }
    // The filters of the last file chooser.
    const QStringList& lastFilters() const { return m_lastFilters; }

    // The states offered by the last choice, and every folder asked to open.
    const std::vector<kuranote::SavedState>& offered() const { return m_offered; }
    const QStringList& opened() const { return m_opened; }
    bool done() const { return m_script.done(); }
    QString unexpected() const { return m_script.unexpected(); }

    std::optional<kuranote::SavedState> choose(
        QWidget* parent, const std::vector<kuranote::SavedState>& states) override;
    bool open(const QString& folder) override;
    QString chooseFileToOpen(QWidget* parent, const QString& title, const QStringList& filters) override;

private:
    Script<Choice, Opening, FileChoice> m_script;
    QStringList m_lastFilters;
    std::vector<kuranote::SavedState> m_offered;
    QStringList m_opened;
};

#define VERIFY_DESKTOP_DONE(desktop) QVERIFY2((desktop).done(), qPrintable((desktop).unexpected()))
