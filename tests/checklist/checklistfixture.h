#pragma once

#include "checklist/checklistdocument.h"
#include "checklist/main_window/form1.h"
#include "scripteddesktop.h"
#include "scriptedprompts.h"
#include "windowcontrols.h"

#include <QByteArrayList>
#include <QTemporaryDir>

#include <array>
#include <memory>
#include <vector>

// One catalogue item as a test writes it; the header record is added by catalogueBytes().
struct TestItem
{
    QString name;
    QString set1;
    QString set2;
    QString character;
    QString sell;
    QString etc;
    QString seek;
    std::array<int, 4> flags {};
};

// The bytes of a data file: a header record, then one line per item.
QByteArray catalogueBytes(const std::vector<TestItem>& items);
// The 27 settings lines, as written by the program, for a test to change before writing them.
QByteArrayList settingsLines();
QByteArray joinLines(const QByteArrayList& lines);

// The records of the listed rows, top to bottom.
QList<int> listedRecords(const kuranote::ReportListModel& rows);
// Ticks or unticks a listed record for the current villager, as the user would.
void setTicked(kuranote::ChecklistDocument& document, int record, bool ticked);

// A program folder with its three files, the checklist document, scripted prompts and desktop, and the main window.
class ChecklistFixture
{
public:
    ChecklistFixture();
    ~ChecklistFixture();

    QString path(const QString& fileName) const;
    void writeCatalogue(const std::vector<TestItem>& items);
    void writeSettings(const QByteArrayList& lines = settingsLines());
    void writeWords(const QStringList& entries);
    // Makes the main window and runs its load step; false when the load failed.
    bool load();

    QTemporaryDir dir;
    kuranote::ChecklistDocument document { dir.path() };
    ScriptedPrompts prompts;
    ScriptedDesktop desktop;
    std::unique_ptr<kuranote::Form1> form;
};
