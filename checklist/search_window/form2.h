#pragma once

#include "checklist/searchconditions.h"

#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kuranote {

class TreeView;

// The search window: a tree of preset words, the search key, and the buttons for the show mode
// and the order. It announces what the user chooses and shows the conditions it is given back,
// keeping none of its own; a window built anew starts from the design's captions. It also says
// whether it counts as showing: from its load on, until it is hidden or closed.
class Form2 final : public QWidget
{
    Q_OBJECT

public:
    // The preset words come from the word file in this folder.
    explicit Form2(QString folder);

    // Takes the main window's background colour and the stored outer size in twips, then fills the
    // tree, which sets the start key.
    void Form_Load(const QColor& backColor, QSizeF outerSize);

    // The buttons' captions and the title follow the conditions the list was filled or sorted by.
    void showConditions(const SearchConditions& conditions);

    void setBackColor(const QColor& color);
    QColor BackColor() const;

    void setVisible(bool visible) override;

Q_SIGNALS:
    // The show mode and the order its buttons show as it loads, before its start key fills the list.
    void conditionsLoaded(kuranote::ShowMode mode, kuranote::SortOrder order);
    void keyChanged(const QString& key);
    void showModeChosen(kuranote::ShowMode mode);
    void sortOrderChosen(kuranote::SortOrder order);
    // The outer size in twips, after the user resized the window.
    void sizeChanged(qint32 width, qint32 height);
    void shownChanged(bool shown);
    void closed();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private Q_SLOTS:
    void TreeView1_Click();
    void TreeView1_KeyPress(int keyCode);
    void txtseek_Change();
    void Command2_Click();
    void Command1_Click();

private:
    void treeviewset();
    void Form_Resize();
    void composeTitle();
    // What the buttons' captions stand for.
    ShowMode shownMode() const;
    SortOrder shownOrder() const;

    QString m_folder;
    QLineEdit* txtseek;
    TreeView* TreeView1;
    QPushButton* Command2;
    QPushButton* Command1;
    std::array<QLabel*, 3> Label2;
    bool m_loading = false;
};

} // namespace kuranote
