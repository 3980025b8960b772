// The main window's villagers: switching, names and colours.
#include "form1.h"

#include "checklist/checklistdocument.h"
#include "checklist/search_window/form2.h"
#include "platform/widgets/clickablelabel.h"
#include "platform/widgets/prompts.h"
#include "platform/widgets/widgetcolors.h"

#include <QAction>

namespace kuranote {
namespace {

QString menuCaption(const QString& name)
{
    QString caption = name;
    return caption.replace(u'&', QStringLiteral("&&"));
}

} // namespace

void Form1::btnchg1_Click(int index)
{
    checkVillagerItem(index);
    if (!m_document.switchVillager(index))
        return;
    // One step after the other, each once the last has returned: showing the villager may load a
    // closed search window, whose load fills the list for the new villager, and then the list is
    // filled once more.
    showVillager(index);
    m_document.pastelist1();
}

void Form1::checkVillagerItem(int villager)
{
    for (QAction* item : btnchg1)
        item->setChecked(false);
    btnchg1[size_t(villager - 1)]->setChecked(true);
}

void Form1::showVillager(int villager)
{
    // Colouring the search window loads it again if the user had closed it, also when the colour
    // text is not a number and so cannot be applied (the colour showing then stays).
    loadSearchWindowIfClosed();
    showBackColor();
    lblname->setText(m_document.settings().villagername[size_t(villager)].text());
    showNameColor();
}

void Form1::showNameColor()
{
    const QString& color = m_document.settings().namecolor[size_t(m_document.curvillager())].text();
    if (const std::optional<quint32> bgr = parseColorText(color))
        setForeColor(lblname, colorFromBgr(*bgr));
}

void Form1::showBackColor()
{
    const QString& color = m_document.settings().bgcolor[size_t(m_document.curvillager())].text();
    if (const std::optional<quint32> bgr = parseColorText(color)) {
        setBackColor(colorFromBgr(*bgr));
        loadSearchWindowIfClosed()->setBackColor(colorFromBgr(*bgr));
    }
}

void Form1::showVillagerNames()
{
    for (size_t i = 0; i < btnchg1.size(); ++i)
        btnchg1[i]->setText(menuCaption(m_document.settings().villagername[i + 1].text()));
}

void Form1::lblname_Click()
{
    const QString typed
        = m_prompts.input(this, QStringLiteral("名前を入力してください"), QStringLiteral("なまえ"), lblname->text());
    // Cancel, or an empty answer, keeps the stored name: the caption may still be the design's "1st".
    if (!typed.isEmpty()) {
        if (std::optional<StoredText> name = storableName(typed)) {
            m_document.renameVillager(*name);
        } else {
            m_prompts.error(
                this, QStringLiteral("「%1」には保存できない文字が含まれています。名前は変わりません。").arg(typed));
        }
    }
    // From the first edit on, the menu lists the four names.
    showVillagerNames();
}

void Form1::lbltown_Click()
{
    const QString typed
        = m_prompts.input(this, QStringLiteral("村の名前を入力してください"), QStringLiteral("むら"), lbltown->text());
    if (typed.isEmpty())
        return;
    if (std::optional<StoredText> name = storableName(typed)) {
        m_document.renameVillage(*name);
    } else {
        m_prompts.error(
            this, QStringLiteral("「%1」には保存できない文字が含まれています。村の名前は変わりません。").arg(typed));
    }
}

void Form1::btncol_Click(int index)
{
    // Both items start the chooser from the background colour.
    const std::optional<QColor> chosen = m_prompts.chooseColor(this, BackColor());
    if (!chosen)
        return;
    if (index == 1) {
        m_document.setNameColor(bgrFromColor(*chosen));
    } else if (index == 2) {
        m_document.setBackColor(bgrFromColor(*chosen));
        // Shown once the document has changed: colouring a closed search window loads it, and its
        // load fills the list.
        showBackColor();
    }
}

} // namespace kuranote
