// The main window's villagers: switching, names and colours.
#include "form1.h"

#include "checklist/search_window/form2.h"
#include "itemdata/settingsfile.h"
#include "platform/clickablelabel.h"
#include "platform/listview.h"
#include "platform/prompts.h"
#include "platform/widgetcolors.h"

#include <QAction>

namespace kuranote {
namespace {

// The settings file cannot hold a double quote: it would end the name there and shift every later line.
QString storableName(QString typed)
{
    return typed.replace(u'"', u'＂');
}

QString menuCaption(const QString& name)
{
    QString caption = name;
    return caption.replace(u'&', QStringLiteral("&&"));
}

} // namespace

void Form1::applyNameColor(const StoredText& color)
{
    if (const std::optional<quint32> bgr = parseColorText(color.text()))
        setForeColor(lblname, colorFromBgr(*bgr));
}

void Form1::btnchg1_Click(int index)
{
    if (index == m_state.curvillager) {
        btnchg1[size_t(index)]->setChecked(true);
        return;
    }
    m_state.curvillager = quint8(index);
    btnchg1[size_t(index)]->setChecked(true);
    const std::array<int, 3> others = otherVillagers(index);
    for (int column = 1; column <= 3; ++column) {
        ListView1->setColumnTitle(column, QString::number(others[size_t(column - 1)]));
        // These columns now show other villagers' flags; only a switch changes them, never a tick.
        ListView1->items().forgetOrder(column);
    }
    // Colouring the search window loads it again if the user had closed it, also when the colour
    // text is not a number and so cannot be applied (the colour showing then stays).
    Form2* seek = searchWindow();
    if (const std::optional<quint32> back = parseColorText(bgcolor[size_t(index)].text())) {
        setBackColor(colorFromBgr(*back));
        seek->setBackColor(colorFromBgr(*back));
    }
    m_shownName = villagername[size_t(index)];
    lblname->setText(m_shownName.text());
    applyNameColor(namecolor[size_t(index)]);
    pastelist1();
}

void Form1::lblname_Click()
{
    const QString typed
        = m_prompts.input(this, QStringLiteral("名前を入力してください"), QStringLiteral("なまえ"), lblname->text());
    if (!typed.isEmpty()) {
        if (std::optional<StoredText> name = StoredText::fromTyped(storableName(typed))) {
            m_shownName = *name;
            lblname->setText(m_shownName.text());
        } else {
            m_prompts.error(
                this, QStringLiteral("「%1」には保存できない文字が含まれています。名前は変わりません。").arg(typed));
        }
    }
    villagername[m_state.curvillager] = m_shownName;
    for (int index = 1; index <= 4; ++index)
        btnchg1[size_t(index)]->setText(menuCaption(villagername[size_t(index)].text()));
}

void Form1::lbltown_Click()
{
    const QString typed
        = m_prompts.input(this, QStringLiteral("村の名前を入力してください"), QStringLiteral("むら"), lbltown->text());
    if (typed.isEmpty())
        return;
    if (std::optional<StoredText> name = StoredText::fromTyped(storableName(typed))) {
        townname = *name;
        lbltown->setText(townname.text());
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
    const std::optional<StoredText> stored = StoredText::fromTyped(colorText(bgrFromColor(*chosen)));
    if (index == 1) {
        setForeColor(lblname, *chosen);
        namecolor[m_state.curvillager] = *stored;
    } else if (index == 2) {
        setBackColor(*chosen);
        searchWindow()->setBackColor(*chosen);
        bgcolor[m_state.curvillager] = *stored;
    }
}

} // namespace kuranote
