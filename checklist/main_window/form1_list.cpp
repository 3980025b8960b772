// The main window's list: the counters it shows, what the user does with it, and the search window.
#include "form1.h"

#include "checklist/checklistdocument.h"
#include "checklist/completion.h"
#include "checklist/search_window/form2.h"
#include "platform/twips.h"
#include "platform/widgets/filedrops.h"
#include "platform/widgets/listview.h"

#include <QLabel>

namespace kuranote {

Form2* Form1::loadSearchWindowIfClosed()
{
    if (!m_form2) {
        // Kept before the load runs: the load fills the list, and whatever that fill reaches may ask
        // for this very window.
        m_form2 = std::make_unique<Form2>(m_document.folder());
        connectSearchWindow();
        const Settings& settings = m_document.settings();
        m_form2->Form_Load(BackColor(), QSizeF(settings.seekwidth, settings.seekheight));
    }
    return m_form2.get();
}

void Form1::connectSearchWindow()
{
    Form2* seek = m_form2.get();
    m_drops->watch(seek);
    connect(seek, &Form2::conditionsLoaded, &m_document, &ChecklistDocument::takeLoadedConditions);
    connect(seek, &Form2::keyChanged, &m_document, &ChecklistDocument::setKey);
    connect(seek, &Form2::showModeChosen, &m_document, &ChecklistDocument::setShowMode);
    connect(seek, &Form2::sortOrderChosen, &m_document, &ChecklistDocument::setSortOrder);
    connect(seek, &Form2::sizeChanged, &m_document, &ChecklistDocument::setSearchWindowSize);
    // Nothing else writes seekshown: it is what the window says of itself.
    connect(seek, &Form2::shownChanged, &m_document, &ChecklistDocument::setSearchWindowShown);
    connect(seek, &Form2::closed, this, [this] {
        // A closed search window is gone: the next use builds it afresh. It is still inside its
        // close event here, so it goes once that returns.
        m_form2.release()->deleteLater();
    });
}

void Form1::showConditions()
{
    // A closed search window shows nothing; the one loaded next shows what its own load sets.
    if (m_form2)
        m_form2->showConditions(m_document.conditions());
}

void Form1::countper()
{
    const Completion completion
        = completionFor(m_document.getcount(), m_document.showcount(), float(Twips::fromPixels(lbl0->width())));
    lbl1->setText(completion.countText);
    lbl2->setText(completion.percentText);
    if (completion.pictureVisible)
        imgconp->setVisible(*completion.pictureVisible);
    lbl100->resize(Twips::toPixels(completion.barWidth), lbl100->height());
}

// Every way of ticking a row ends here, once per tick: the box, Space, Enter and a double-click.
void Form1::ListView1_ItemCheck(int row)
{
    m_document.toggleRow(row);
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
    if (row >= 0)
        ListView1_ItemCheck(row);
}

void Form1::ListView1_ColumnClick(int column)
{
    m_document.setSortColumn(ListColumn(column));
}

void Form1::Command1_Click()
{
    // Showing is -1 only while a search window is loaded; hiding or showing it sets seekshown.
    if (m_document.seekshown() == -1)
        m_form2->hide();
    else
        loadSearchWindowIfClosed()->show();
}

} // namespace kuranote
