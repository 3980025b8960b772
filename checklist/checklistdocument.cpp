#include "checklistdocument.h"

#include "itemdata/datafile.h"
#include "platform/wildcard.h"

namespace kuranote {

ChecklistDocument::ChecklistDocument(QString folder, QObject* parent)
    : QObject(parent)
    , m_folder(std::move(folder))
    , m_key(allItemsKey)
{
    m_list.setHeaderTexts({ QStringLiteral("Item"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
        QStringLiteral("Set1"), QStringLiteral("Set2"), QStringLiteral("Char"), QStringLiteral("Sell"),
        QStringLiteral("etc"), QStringLiteral("No,") });
}

std::optional<FileError> ChecklistDocument::load()
{
    m_curvillager = 1;
    if (std::optional<FileError> failure = SettingsFile::load(m_folder, &m_settings))
        return failure;
    if (std::optional<FileError> failure = DataFile::load(m_folder, &m_items))
        return failure;
    m_modified = false;
    return std::nullopt;
}

std::optional<FileError> ChecklistDocument::kurasave()
{
    if (std::optional<FileError> failure = DataFile::save(m_folder, m_items))
        return failure;
    if (std::optional<FileError> failure = SettingsFile::save(m_folder, m_settings))
        return failure;
    m_modified = false;
    return std::nullopt;
}

void ChecklistDocument::setConditions(const QString& key, ShowMode mode)
{
    m_key = key;
    m_showMode = mode;
    pastelist1();
}

void ChecklistDocument::pastelist1()
{
    m_showcount = 0;
    m_getcount = 0;
    m_pendingRows.clear();
    const int last = m_items.count();
    std::optional<WildcardPattern> pattern;
    if (m_key != allItemsKey) {
        pattern.emplace(QStringLiteral("*") + m_key + QStringLiteral("*"));
        // An invalid key stops the fill at the first record: the list stays empty and the counts
        // are not announced, so the labels keep the previous figures.
        if (!pattern->isValid() && last >= 2) {
            m_list.setRows({});
            Q_EMIT listFilled();
            return;
        }
    }
    for (int record = 2; record <= last; ++record) {
        if (pattern && !pattern->matches(m_items.searchText(record)))
            continue;
        if (m_showMode == ShowMode::Unacquired && m_items.flag(record, m_curvillager) != 0)
            continue;
        pastelist2(record);
    }
    m_list.setRows(std::move(m_pendingRows));
    Q_EMIT listFilled();
    Q_EMIT countsChanged();
}

void ChecklistDocument::pastelist2(int record)
{
    const bool acquired = m_items.flag(record, m_curvillager) != 0;
    m_pendingRows.push_back({ record, acquired });
    // A ticked row counts once, whatever value its flag holds, so the figures never pass 100 %.
    m_getcount += acquired ? 1 : 0;
    ++m_showcount;
}

void ChecklistDocument::setSortColumn(ListColumn column)
{
    m_list.setSortKey(int(column));
}

void ChecklistDocument::setSortOrder(SortOrder order)
{
    setSortColumn(order == SortOrder::Name ? ListColumn::Item : ListColumn::Number);
}

void ChecklistDocument::applyCheck(int row)
{
    const bool checked = m_list.isChecked(row);
    m_items.setFlag(m_list.record(row), m_curvillager, checked ? 1 : 0);
    m_getcount += checked ? 1 : -1;
    markModified();
    Q_EMIT countsChanged();
}

void ChecklistDocument::toggleRow(int row)
{
    // Set by code, the check box raises nothing; applying it here moves the counter exactly once.
    m_list.setChecked(row, !m_list.isChecked(row));
    applyCheck(row);
}

bool ChecklistDocument::switchVillager(int villager)
{
    if (villager == m_curvillager)
        return false;
    m_curvillager = quint8(villager);
    const std::array<int, 3> others = otherVillagers(villager);
    for (int i = 0; i < 3; ++i) {
        const int column = int(ListColumn::OtherVillager1) + i;
        m_list.setHeaderText(column, QString::number(others[size_t(i)]));
        // These columns now show other villagers' flags; only a switch changes them, never a tick.
        m_list.forgetOrder(column);
    }
    Q_EMIT villagerSwitched(villager);
    pastelist1();
    return true;
}

void ChecklistDocument::renameVillage(const StoredText& name)
{
    m_settings.townname = name;
    markModified();
    Q_EMIT villageNameChanged();
}

void ChecklistDocument::renameVillager(const StoredText& name)
{
    m_settings.villagername[m_curvillager] = name;
    markModified();
    Q_EMIT villagerNameChanged(m_curvillager);
}

void ChecklistDocument::setNameColor(quint32 bgr)
{
    m_settings.namecolor[m_curvillager] = *StoredText::fromTyped(colorText(bgr));
    markModified();
    Q_EMIT nameColorChanged();
}

void ChecklistDocument::setBackColor(quint32 bgr)
{
    m_settings.bgcolor[m_curvillager] = *StoredText::fromTyped(colorText(bgr));
    markModified();
    Q_EMIT backColorChanged();
}

void ChecklistDocument::setMainWindowSize(QSizeF twips)
{
    m_settings.mainWidth = float(twips.width());
    m_settings.mainHeight = float(twips.height());
}

void ChecklistDocument::setColumnWidths(const std::array<float, listColumnCount>& twips)
{
    m_settings.columnWidths = twips;
}

void ChecklistDocument::setSearchWindowSize(qint32 width, qint32 height)
{
    m_settings.seekwidth = width;
    m_settings.seekheight = height;
}

} // namespace kuranote
