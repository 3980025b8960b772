// The main window's start, save and close: the settings and the catalogue in and out.
#include "form1.h"

#include "checklist/search_window/form2.h"
#include "itemdata/datafile.h"
#include "itemdata/settingsfile.h"
#include "platform/clickablelabel.h"
#include "platform/listview.h"
#include "platform/prompts.h"
#include "platform/twips.h"
#include "platform/widgetcolors.h"

#include <QLabel>

namespace kuranote {

bool Form1::Form_Load()
{
    m_state.curvillager = 1;
    std::optional<FileError> failure = sizeload();
    if (!failure)
        failure = dataload();
    if (failure) {
        m_prompts.error(this, failure->message());
        return false;
    }
    searchWindow()->show();
    m_state.seekshown = -1;
    return true;
}

std::optional<FileError> Form1::sizeload()
{
    Settings settings;
    if (std::optional<FileError> failure = SettingsFile::load(m_state.folder, &settings))
        return failure;
    townname = settings.townname;
    lbltown->setText(townname.text());
    villagername = settings.villagername;
    namecolor = settings.namecolor;
    bgcolor = settings.bgcolor;
    // The file was refused unless villager 1's colours are numbers.
    setBackColor(colorFromBgr(*parseColorText(bgcolor[1].text())));
    applyNameColor(namecolor[1]);
    m_state.seekwidth = settings.seekwidth;
    m_state.seekheight = settings.seekheight;
    Twips::setOuterSize(this, settings.mainWidth, settings.mainHeight);
    const QStringList titles { QStringLiteral("Item"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
        QStringLiteral("Set1"), QStringLiteral("Set2"), QStringLiteral("Char"), QStringLiteral("Sell"),
        QStringLiteral("etc"), QStringLiteral("No,") };
    ListView1->addColumns(titles, std::vector<double>(settings.columnWidths.begin(), settings.columnWidths.end()));
    return std::nullopt;
}

std::optional<FileError> Form1::dataload()
{
    return DataFile::load(m_state.folder, &m_state.items);
}

std::optional<FileError> Form1::kurasave()
{
    if (std::optional<FileError> failure = DataFile::save(m_state.folder, m_state.items))
        return failure;
    Settings settings;
    settings.townname = townname;
    settings.villagername = villagername;
    settings.namecolor = namecolor;
    settings.bgcolor = bgcolor;
    const QSizeF outer = Twips::outerSize(this);
    settings.mainWidth = float(outer.width());
    settings.mainHeight = float(outer.height());
    settings.seekwidth = m_state.seekwidth;
    settings.seekheight = m_state.seekheight;
    for (int column = 0; column < int(settings.columnWidths.size()); ++column)
        settings.columnWidths[size_t(column)] = float(ListView1->columnWidth(column));
    return SettingsFile::save(m_state.folder, settings);
}

void Form1::btnsave_Click()
{
    if (m_prompts.question(this, QStringLiteral("セーブしますか？"), Prompts::Buttons::OkCancel)
        == Prompts::Answer::Cancel)
        return;
    if (std::optional<FileError> failure = kurasave())
        m_prompts.error(this, failure->message());
}

void Form1::Form_Unload(bool& cancel)
{
    const Prompts::Answer answer
        = m_prompts.question(this, QStringLiteral("終了前に変更をセーブしますか？"), Prompts::Buttons::YesNoCancel);
    if (answer == Prompts::Answer::Cancel) {
        cancel = true;
        return;
    }
    if (answer == Prompts::Answer::Yes) {
        // A save that failed must not end the program: the ticks would be lost without a word.
        if (std::optional<FileError> failure = kurasave()) {
            m_prompts.error(this, failure->message());
            cancel = true;
            return;
        }
    }
    if (m_form2) {
        m_form2->close();
        delete m_form2.data();
    }
    m_state.seekshown = 0;
}

} // namespace kuranote
