// A program the fault tests start, so that a fault can strike a real process while it saves.
//   kuranote_savehelper save <folder>    the checklist's own steps: load, tick a box, save with OK; prints each
//                                        error shown as "error: <message>" and ends with 2 when one was shown
//   kuranote_savehelper saves <folder>   the checklist's own steps, the save once for each line read: load and
//                                        print "loaded 0"; then for the n-th line tick or untick the n-th row, save
//                                        with OK and print "saved <n>" after what the save showed
//   kuranote_savehelper repeat <folder>  loads both files, then saves them again and again, every flag of
//                                        villager 1 and the last bit of the search window's width turned over
//                                        each time, so that each file alternates between two contents; prints
//                                        "saving <n>" and "saved <n>" around each save
//   kuranote_savehelper record <folder>  the checklist's own start, then the changes of makeSessionChange() in
//                                        bursts of two to five, each burst left to the recovery file's own timer;
//                                        prints "changing <n>" before a burst that ends with change n and
//                                        "recorded <n>" once its record is written
//   kuranote_savehelper rerecord <folder>  the checklist's own start, every listed flag of villager 1 turned over,
//                                        then the village named "X" and "Y" in turn, the recovery file written at
//                                        once each time; prints "recording <n>" and "recorded <n>" around each write
#include "checklist/checklistdocument.h"
#include "checklist/main_window/form1.h"
#include "itemdata/datafile.h"
#include "itemdata/settingsfile.h"
#include "platform/widgets/prompts.h"
#include "scripteddesktop.h"
#include "sessionchanges.h"
#include "windowcontrols.h"

#include <QApplication>

#include <cstdio>

using namespace kuranote;

namespace {

// Answers every question with OK or Yes and prints whatever the program tells the user.
class PrintingPrompts final : public Prompts
{
public:
    Answer question(QWidget*, const QString&, Buttons buttons, std::optional<Answer>) override
    {
        return buttons == Buttons::OkCancel ? Answer::Ok : Answer::Yes;
    }
    void message(QWidget*, const QString& text) override { print("message", text); }
    void error(QWidget*, const QString& text) override
    {
        print("error", text);
        ++errors;
    }
    QString input(QWidget*, const QString&, const QString&, const QString&) override { return QString(); }
    std::optional<QColor> chooseColor(QWidget*, const QColor&) override { return std::nullopt; }

    int errors = 0;

private:
    static void print(const char* kind, QString text)
    {
        std::printf("%s: %s\n", kind, qPrintable(text.replace(u'\n', u' ')));
        std::fflush(stdout);
    }
};

void say(const char* what, int n)
{
    std::printf("%s %d\n", what, n);
    std::fflush(stdout);
}

// The checklist's document and main window over the folder, as the program makes them.
struct LoadedChecklist
{
    explicit LoadedChecklist(const QString& folder)
        : document(folder)
        , form(document, { prompts, desktop, desktop, desktop })
    {
    }

    ChecklistDocument document;
    PrintingPrompts prompts;
    ScriptedDesktop desktop;
    Form1 form;
};

int saveOnce(const QString& folder)
{
    LoadedChecklist checklist(folder);
    if (!checklist.form.Form_Load())
        return 2;
    auto& [document, prompts, desktop, form] = checklist;
    if (document.list().rowCount() > 0)
        document.toggleRow(0);
    ui(form).btnsave->trigger();
    return prompts.errors == 0 ? 0 : 2;
}

int saveOnRequest(const QString& folder)
{
    LoadedChecklist checklist(folder);
    if (!checklist.form.Form_Load())
        return 2;
    auto& [document, prompts, desktop, form] = checklist;
    say("loaded", 0);
    char line[64];
    for (int n = 1; std::fgets(line, sizeof line, stdin); ++n) {
        document.toggleRow((n - 1) % document.list().rowCount());
        ui(form).btnsave->trigger();
        say("saved", n);
    }
    return 0;
}

int saveRepeatedly(const QString& folder)
{
    ItemTable table;
    Settings settings;
    if (DataFile::load(folder, &table) || SettingsFile::load(folder, &settings))
        return 2;
    say("loaded", 0);
    for (int n = 1;; ++n) {
        for (int record = 1; record <= table.count(); ++record)
            table.setFlag(record, 1, table.flag(record, 1) ? 0 : 1);
        settings.seekwidth ^= 1;
        say("saving", n);
        if (DataFile::save(folder, table) || SettingsFile::save(folder, settings))
            return 2;
        say("saved", n);
    }
}

// Processes events until the recovery file's timer has written what is pending.
void waitUntilRecorded(ChecklistDocument& document)
{
    while (document.recovery().isPending())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

int recordChanges(const QString& folder)
{
    LoadedChecklist checklist(folder);
    if (!checklist.form.Form_Load())
        return 2;
    auto& [document, prompts, desktop, form] = checklist;
    say("loaded", 0);
    for (int burst = 0, n = 0;; ++burst) {
        const int last = n + 2 + burst % 4;
        say("changing", last);
        while (n < last)
            makeSessionChange(document, ++n);
        waitUntilRecorded(document);
        say("recorded", n);
    }
}

int recordRepeatedly(const QString& folder)
{
    LoadedChecklist checklist(folder);
    if (!checklist.form.Form_Load())
        return 2;
    auto& [document, prompts, desktop, form] = checklist;
    ReportListModel& rows = document.list();
    for (int row = 0; row < rows.rowCount(); ++row)
        document.toggleRow(row);
    say("loaded", 0);
    for (int n = 1;; ++n) {
        document.renameVillage(StoredText::fromBytes(n % 2 ? "X" : "Y"));
        say("recording", n);
        document.recordRecovery();
        say("recorded", n);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(resources);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3)
        return 64;
    if (arguments[1] == QStringLiteral("save"))
        return saveOnce(arguments[2]);
    if (arguments[1] == QStringLiteral("saves"))
        return saveOnRequest(arguments[2]);
    if (arguments[1] == QStringLiteral("repeat"))
        return saveRepeatedly(arguments[2]);
    if (arguments[1] == QStringLiteral("record"))
        return recordChanges(arguments[2]);
    if (arguments[1] == QStringLiteral("rerecord"))
        return recordRepeatedly(arguments[2]);
    return 64;
}
