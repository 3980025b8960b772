#pragma once

#include "checklist/checklistsave.h"
#include "sizes/checklistsizes.h"

#include <QMainWindow>
#include <QUrl>

#include <array>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;

namespace kuranote {

class ChecklistDocument;
class ClickableLabel;
class FileChooser;
class FileDrops;
class FolderOpener;
class Form2;
class ListView;
class Prompts;
class SavedStateChooser;
struct SavedState;

// The desktop's services the main window asks for; tests hand in scripted ones.
struct Form1Services
{
    Prompts& prompts;
    SavedStateChooser& savedStates;
    FolderOpener& folders;
    FileChooser& files;
};

// The main window: the checklist document's list, its completion figures, and the menus that
// switch villagers, choose colours, save and quit. Handlers are named after their control and event
// and forward to the document; the window only shows what the document announces. It also owns the
// search window and wires it to the document, and asks the user the questions of the document's save. The
// list's context menu holds the commands the menu bar has no room for.
class Form1 final : public QMainWindow, private SaveQuestions
{
    Q_OBJECT

public:
    Form1(ChecklistDocument& document, const Form1Services& services, QWidget* parent = nullptr);
    ~Form1() override;

    // Loads the document and shows the search window, which fills the list.
    // On a failure the user has been told, and nothing was written.
    bool Form_Load();

    // The search window, built and loaded afresh (hidden) when the user had closed it; the load fills
    // the list.
    Form2* loadSearchWindowIfClosed();
    bool hasSearchWindow() const { return m_form2 != nullptr; }

    QColor BackColor() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private Q_SLOTS:
    void Timer1_Timer();
    void btnsave_Click();
    void btnend_Click();
    void btnchg1_Click(int index); // the villager, 1 to 4
    void btncol_Click(int index); // 1: name colour, 2: background colour
    void lblname_Click();
    void lbltown_Click();
    void Command1_Click();
    void ListView1_ItemCheck(int row);
    void ListView1_KeyPress(int keyCode);
    void ListView1_DblClick();
    void ListView1_ColumnClick(int column);
    void ListView1_ContextMenu(const QPoint& position);
    void mnuImport_Click();
    void mnuRestore_Click();
    void mnuFolder_Click();
    void Form_DragDrop(const QList<QUrl>& urls);

private:
    void Form_Resize();
    // False when the window is to stay open.
    bool Form_Unload();

    void buildControls();
    void buildMenus();
    void buildListMenu();
    void connectHandlers();
    void connectDocument();
    void connectSearchWindow();
    void showConditions();

    void countper();
    void toggleSelectedRow();
    void showVillager(int villager);
    void showVillagerNames();
    void showNameColor();
    void showBackColor();
    void setBackColor(const QColor& color);
    void checkVillagerItem(int villager);
    // Offers back the changes of a session that ended without saving.
    void offerRecovery();
    // The save's questions, asked of the user.
    bool overwriteChangedFiles(const QStringList& files) override;
    bool saveWithoutBackup(const FileError& failure) override;
    // Saves with the window's layout; what went wrong has been shown. False when not both files were saved.
    bool kurasave();
    // Writes a state the backup folder kept back over the files, after a question, and shows it.
    void goBackTo(const SavedState& state);
    // Takes a newer catalogue into use, as kuranote_conv NEW.csv does, after saving unsaved changes.
    void takeInCatalogue(const QString& path);
    // The names and colours of files the document has just read again.
    void showReloadedFiles();

    ChecklistDocument& m_document;
    Prompts& m_prompts;
    SavedStateChooser& m_savedStates;
    FolderOpener& m_folders;
    FileChooser& m_files;
    FileDrops* m_drops;
    std::unique_ptr<Form2> m_form2;

    QPushButton* Command1;
    ListView* ListView1;
    ClickableLabel* lblname;
    ClickableLabel* lbltown;
    std::array<QLabel*, 2> Label1;
    QLabel* imgconp;
    QLabel* lbl2;
    QLabel* lbl1;
    QLabel* lbl100;
    QLabel* lbl0;
    QTimer* Timer1;
    QMenu* btnchg;
    std::array<QAction*, villagerCount> btnchg1 {}; // the design's items 1 to 4, one per villager
    QMenu* btncolm;
    std::array<QAction*, 2> btncol {}; // the design's items 1 and 2
    QAction* btnsave;
    QAction* btnend;
    QMenu* mnuList;
    QAction* mnuImport;
    QAction* mnuRestore;
    QAction* mnuFolder;
};

} // namespace kuranote
