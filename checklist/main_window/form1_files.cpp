// The main window's start, save and close.
#include "form1.h"

#include "checklist/checklistdocument.h"
#include "checklist/search_window/form2.h"
#include "platform/clickablelabel.h"
#include "platform/listview.h"
#include "platform/prompts.h"
#include "platform/twips.h"
#include "platform/widgetcolors.h"

namespace kuranote {

bool Form1::Form_Load()
{
    if (std::optional<FileError> failure = m_document.load()) {
        m_prompts.error(this, failure->message());
        return false;
    }
    const Settings& settings = m_document.settings();
    lbltown->setText(settings.townname.text());
    // The file was refused unless villager 1's colours are numbers. The search window takes the
    // colour from this window when it loads, below.
    setBackColor(colorFromBgr(*parseColorText(settings.bgcolor[1].text())));
    showNameColor();
    Twips::setOuterSize(this, settings.mainWidth, settings.mainHeight);
    ListView1->setColumnWidths(std::vector<double>(settings.columnWidths.begin(), settings.columnWidths.end()));
    searchWindow()->show();
    m_document.setSeekshown(-1);
    return true;
}

bool Form1::kurasave()
{
    m_document.setMainWindowSize(Twips::outerSize(this));
    std::array<float, listColumnCount> widths {};
    for (int column = 0; column < listColumnCount; ++column)
        widths[size_t(column)] = float(ListView1->columnWidth(column));
    m_document.setColumnWidths(widths);
    if (std::optional<FileError> failure = m_document.kurasave()) {
        m_prompts.error(this, failure->message());
        return false;
    }
    return true;
}

void Form1::btnsave_Click()
{
    if (m_prompts.question(this, QStringLiteral("セーブしますか？"), Prompts::Buttons::OkCancel) == Prompts::Answer::Ok)
        kurasave();
}

void Form1::Form_Unload(bool& cancel)
{
    const Prompts::Answer answer
        = m_prompts.question(this, QStringLiteral("終了前に変更をセーブしますか？"), Prompts::Buttons::YesNoCancel);
    // A save that failed must not end the program: the ticks would be lost without a word.
    if (answer == Prompts::Answer::Cancel || (answer == Prompts::Answer::Yes && !kurasave())) {
        cancel = true;
        return;
    }
    m_form2.reset();
    m_document.setSeekshown(0);
}

} // namespace kuranote
