// The main window's list: filling it from the catalogue, counting, and what the user does with it.
#include "form1.h"

#include "checklist/search_window/form2.h"
#include "completion.h"
#include "platform/listview.h"
#include "platform/twips.h"
#include "platform/wildcard.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kuranote {

Form2* Form1::searchWindow()
{
    if (!m_form2) {
        // Set before the load runs: the load fills the list, which reads this very window.
        m_form2 = new Form2(m_state, *this);
        m_form2->Form_Load();
    }
    return m_form2;
}

void Form1::pastelist1()
{
    // Reached first: a search window loaded here fills the list itself, before this fill starts.
    Form2* seek = searchWindow();
    showcount = 0;
    getcount = 0;
    m_pendingRows.clear();
    const QString key = seek->txtseek->text();
    const bool unacquiredOnly = seek->Command2->text() != u"全アイテム";
    const int v = m_state.curvillager;
    const ItemTable& items = m_state.items;
    const int last = items.count();

    std::optional<WildcardPattern> pattern;
    if (key != u"全アイテム") {
        pattern.emplace(QStringLiteral("*") + key + QStringLiteral("*"));
        // An invalid key stops the fill at the first record: the list stays empty and the labels
        // keep the previous figures.
        if (!pattern->isValid() && last >= 2) {
            ListView1->items().setRows({});
            return;
        }
    }
    for (int record = 2; record <= last; ++record) {
        if (pattern && !pattern->matches(items.searchText(record)))
            continue;
        if (unacquiredOnly && items.flag(record, v) != 0)
            continue;
        pastelist2(record);
    }
    ListView1->items().setRows(std::move(m_pendingRows));
    countper();
}

void Form1::pastelist2(int record)
{
    const bool acquired = m_state.items.flag(record, m_state.curvillager) != 0;
    m_pendingRows.push_back({ record, acquired });
    // A ticked row counts once, whatever value its flag holds, so the figures never pass 100 %.
    getcount += acquired ? 1 : 0;
    ++showcount;
}

void Form1::countper()
{
    const Completion completion = completionFor(getcount, showcount, float(Twips::fromPixels(lbl0->width())));
    lbl1->setText(completion.countText);
    lbl2->setText(completion.percentText);
    if (completion.pictureVisible)
        imgconp->setVisible(*completion.pictureVisible);
    lbl100->resize(Twips::toPixels(completion.barWidth), lbl100->height());
}

void Form1::ListView1_ItemCheck(int row)
{
    ReportListModel& rows = ListView1->items();
    const bool checked = rows.isChecked(row);
    const int record = rows.cellText(row, 9).toInt() + 1;
    m_state.items.setFlag(record, m_state.curvillager, checked ? 1 : 0);
    getcount += checked ? 1 : -1;
    countper();
}

void Form1::ListView1_KeyPress(int keyCode)
{
    if (keyCode == 13)
        toggleSelectedRow();
}

void Form1::ListView1_DblClick()
{
    toggleSelectedRow();
}

void Form1::toggleSelectedRow()
{
    const int row = ListView1->selectedRow();
    if (row < 0)
        return;
    // Set by code, the check box raises nothing; the explicit call moves the counter exactly once.
    ListView1->items().setChecked(row, !ListView1->items().isChecked(row));
    ListView1_ItemCheck(row);
}

void Form1::ListView1_ColumnClick(int column)
{
    ListView1->setSortKey(column);
}

void Form1::Command1_Click()
{
    if (m_state.seekshown == -1) {
        if (m_form2)
            m_form2->hide();
        m_state.seekshown = 0;
    } else {
        searchWindow()->show();
        m_state.seekshown = -1;
    }
}

} // namespace kuranote
