#pragma once

#include "checklist/programstate.h"

#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kuranote {

class Form1;
class TreeView;

// The search window: a tree of preset words, the search key, and the buttons for the show mode
// and the order. Its three settings live in its controls and end with it.
class Form2 final : public QWidget
{
    Q_OBJECT

public:
    Form2(ChecklistState& state, Form1& form1);

    void Form_Load();
    void treeviewset();
    void Form_Resize();
    void TreeView1_Click();
    void TreeView1_KeyPress(int keyCode);
    void txtseek_Change();
    void Command2_Click();
    void Command1_Click();

    void setBackColor(const QColor& color);
    QColor BackColor() const;

    QLineEdit* txtseek;
    TreeView* TreeView1;
    QPushButton* Command2;
    QPushButton* Command1;
    std::array<QLabel*, 3> Label2;

    qint16 loading = 0;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void composeTitle();

    ChecklistState& m_state;
    Form1& m_form1;
};

} // namespace kuranote
