#pragma once

#include "checklist/programstate.h"
#include "itemdata/fielderror.h"
#include "itemdata/storedtext.h"
#include "itemrowsource.h"
#include "platform/listmodel.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <optional>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;

namespace kuranote {

class ClickableLabel;
class Form2;
class ListView;
class Prompts;

// The main window: the catalogue in a checked list, the completion figures, and the menus that
// switch villagers, choose colours, save and quit. Handlers are named after their control and event;
// the work they do lives in the small units beside this class.
class Form1 final : public QMainWindow
{
    Q_OBJECT

public:
    Form1(ChecklistState& state, Prompts& prompts, QWidget* parent = nullptr);
    ~Form1() override;

    // Reads the settings and the catalogue and shows the search window, which fills the list.
    // On a failure the user has been told, and nothing was written.
    bool Form_Load();
    void Form_Resize();
    void Form_Unload(bool& cancel);
    void Timer1_Timer();

    void btnsave_Click();
    void btnend_Click();
    void btnchg1_Click(int index);
    void btncol_Click(int index);
    void lblname_Click();
    void lbltown_Click();
    void Command1_Click();
    void ListView1_ItemCheck(int row);
    void ListView1_KeyPress(int keyCode);
    void ListView1_DblClick();
    void ListView1_ColumnClick(int column);

    std::optional<FileError> sizeload();
    std::optional<FileError> dataload();
    std::optional<FileError> kurasave();
    void pastelist1();
    void pastelist2(int record);
    void countper();

    // The search window, loaded afresh (hidden) when the user had closed it.
    Form2* searchWindow();
    bool hasSearchWindow() const { return !m_form2.isNull(); }

    QColor BackColor() const;
    void setBackColor(const QColor& color);

    // The window's controls, named as in the window design.
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
    std::array<QAction*, 5> btnchg1 {}; // 1 to 4
    QMenu* btncolm;
    std::array<QAction*, 3> btncol {}; // 1 to 2
    QAction* btnsave;
    QAction* btnend;

    // Per-villager appearance, indexed by villager 1 to 4.
    StoredText townname;
    std::array<StoredText, 5> villagername;
    std::array<StoredText, 5> namecolor;
    std::array<StoredText, 5> bgcolor;

    qint32 getcount = 0;
    qint32 showcount = 0;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void connectHandlers();
    void toggleSelectedRow();
    // Applies a stored colour text; a text that is no colour leaves the colour showing.
    void applyNameColor(const StoredText& color);

    ChecklistState& m_state;
    Prompts& m_prompts;
    ItemRowSource m_rows;
    QPointer<Form2> m_form2;
    // What lblname shows, with the bytes it is stored as.
    StoredText m_shownName = StoredText::fromBytes("1st");
    std::vector<ReportListModel::Row> m_pendingRows;
};

} // namespace kuranote
