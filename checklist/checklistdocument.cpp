#include "checklistdocument.h"

#include "itemdata/datafile.h"
#include "itemdata/recoveryfile.h"
#include "itemdata/unansweredrecovery.h"
#include "platform/wildcard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kuranote {

ChecklistDocument::ChecklistDocument(QString folder, QObject* parent)
    : QObject(parent)
    , m_folder(folder)
    , m_recovery(filePathIn(folder, RecoveryFile::fileName))
{
    connect(&m_recovery, &RecoveryRecorder::due, this, &ChecklistDocument::recordRecovery);
    connect(this, &ChecklistDocument::rowTicked, &m_list, &ReportListModel::checkChanged);
    m_list.setHeaderTexts({ QStringLiteral("Item"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
        QStringLiteral("Set1"), QStringLiteral("Set2"), QStringLiteral("Char"), QStringLiteral("Sell"),
        QStringLiteral("etc"), QStringLiteral("No,") });
}

std::optional<FileError> ChecklistDocument::load()
{
    m_curvillager = 1;
    return readFiles();
}

std::optional<FileError> ChecklistDocument::readFiles()
{
    // Each file is read once: the stamp is of the very bytes that were parsed. Both are read aside first, so
    // that a failure leaves the checklist as it was.
    const QString settingsPath = filePathIn(m_folder, SettingsFile::fileName);
    QByteArray settingsBytes;
    if (std::optional<FileError> failure = readWholeFile(settingsPath, &settingsBytes))
        return failure;
    Settings settings;
    if (std::optional<FileError> failure = SettingsFile::parse(settingsBytes, settingsPath, &settings))
        return failure;
    // The catalogue is read a piece at a time, and stamped as it passes.
    ItemTable items;
    FileStamper dataStamper;
    if (std::optional<FileError> failure = DataFile::load(m_folder, &items, &dataStamper))
        return failure;
    m_items = std::move(items);
    m_settings = std::move(settings);
    m_recovery.begin(dataStamper.stamp(), FileStamp::of(settingsBytes));
    m_modified = false;
    return std::nullopt;
}

std::optional<FileError> ChecklistDocument::recoveryKeptAsideThatFits() const
{
    // Most folders hold none: the catalogue is read only when there is a record to try.
    if (setAsideRecoveries(m_folder).isEmpty())
        return std::nullopt;
    ItemTable onDisk;
    FileStamper stamper;
    // A catalogue that cannot be read is one no record can restore against.
    if (DataFile::load(m_folder, &onDisk, &stamper))
        return std::nullopt;
    return setAsideRecoveryThatFits(m_folder, onDisk, stamper.stamp());
}

QStringList ChecklistDocument::filesChangedElsewhere() const
{
    QStringList changed;
    const QString dataPath = filePathIn(m_folder, DataFile::fileName);
    if (fileChangedSince(dataPath, m_recovery.dataFile()))
        changed << QDir::toNativeSeparators(dataPath);
    const QString settingsPath = filePathIn(m_folder, SettingsFile::fileName);
    if (fileChangedSince(settingsPath, m_recovery.settingsFile()))
        changed << QDir::toNativeSeparators(settingsPath);
    return changed;
}

RecoveryFinding ChecklistDocument::findRecovery()
{
    const QString path = m_recovery.filePath();
    m_found = {};
    if (!QFileInfo::exists(path))
        return {};
    RecoveryFinding finding;
    finding.filePath = QDir::toNativeSeparators(path);
    if (std::optional<FileError> failure
        = RecoveryFile::read(path, m_items, m_settings, m_recovery.dataFile(), m_recovery.settingsFile(), &m_found)) {
        finding.kind = RecoveryFinding::Kind::SetAside;
        finding.problem = *failure;
        finding.asidePath = setRecoveryAside().value_or(QString());
        return finding;
    }
    finding.changes = int(m_found.flags.size() + m_found.texts.size());
    if (finding.changes == 0) {
        // Changes undone before the session ended: nothing to offer.
        QFile::remove(path);
        return {};
    }
    finding.kind = RecoveryFinding::Kind::Offered;
    return finding;
}

std::vector<int> ChecklistDocument::restoreRecovery()
{
    std::vector<int> renamed;
    for (const RecoveryRecord::Flag& flag : m_found.flags) {
        m_recovery.flagChanging(flag.record, flag.villager, m_items.flag(flag.record, flag.villager));
        m_items.setFlag(flag.record, flag.villager, flag.value);
        markModified();
    }
    for (const RecoveryRecord::Text& text : m_found.texts) {
        StoredText& value = settingsText(m_settings, text.field, text.villager);
        m_recovery.textChanging(text.field, text.villager, value);
        value = text.value;
        markModified();
        if (text.field == SettingsText::VillagerName)
            renamed.push_back(text.villager);
    }
    m_found = {};
    return renamed;
}

std::optional<QString> ChecklistDocument::setRecoveryAside()
{
    m_found = {};
    const std::optional<QString> aside = moveAside(m_recovery.filePath(), m_clock());
    if (!aside) {
        m_recovery.keepOffFile(); // the next write would replace it
        return std::nullopt;
    }
    return QDir::toNativeSeparators(*aside);
}

void ChecklistDocument::recordRecovery()
{
    m_recovery.recordNow(m_items, m_settings);
}

void ChecklistDocument::discardRecovery()
{
    m_found = {};
    m_recovery.discard();
}

void ChecklistDocument::setKey(const QString& key)
{
    m_conditions.key = key;
    pastelist1();
    Q_EMIT conditionsChanged();
}

void ChecklistDocument::setShowMode(ShowMode mode)
{
    m_conditions.showMode = mode;
    pastelist1();
    Q_EMIT conditionsChanged();
}

void ChecklistDocument::takeLoadedConditions(ShowMode mode, SortOrder order)
{
    // Nothing is announced back: the window that loaded shows them already.
    m_conditions.showMode = mode;
    m_conditions.sortOrder = order;
}

void ChecklistDocument::pastelist1()
{
    m_showcount = 0;
    m_getcount = 0;
    std::vector<int> rows;
    const int last = m_items.count();
    std::optional<WildcardPattern> pattern;
    if (m_conditions.key != allItemsKey) {
        pattern.emplace(QStringLiteral("*") + m_conditions.key + QStringLiteral("*"));
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
        if (m_conditions.showMode == ShowMode::Unacquired && m_items.flag(record, m_curvillager) != 0)
            continue;
        pastelist2(record, rows);
    }
    m_list.setRows(std::move(rows));
    Q_EMIT listFilled();
    Q_EMIT countsChanged();
}

void ChecklistDocument::pastelist2(int record, std::vector<int>& rows)
{
    rows.push_back(record);
    // A ticked row counts once, whatever value its flag holds, so the figures never pass 100 %.
    m_getcount += m_items.flag(record, m_curvillager) != 0 ? 1 : 0;
    ++m_showcount;
}

void ChecklistDocument::setSortColumn(ListColumn column)
{
    m_list.setSortKey(int(column));
}

void ChecklistDocument::setSortOrder(SortOrder order)
{
    m_conditions.sortOrder = order;
    setSortColumn(order == SortOrder::Name ? ListColumn::Item : ListColumn::Number);
    Q_EMIT conditionsChanged();
}

void ChecklistDocument::toggleRow(int row)
{
    const int record = m_list.record(row);
    const quint8 flag = m_items.flag(record, m_curvillager);
    // Any nonzero flag shows ticked, so turning it over gives 0; turning 0 over gives 1.
    const bool acquired = flag == 0;
    m_recovery.flagChanging(record, m_curvillager, flag);
    m_items.setFlag(record, m_curvillager, acquired ? 1 : 0);
    markModified();
    m_getcount += acquired ? 1 : -1;
    Q_EMIT rowTicked(row);
}

bool ChecklistDocument::switchVillager(int villager)
{
    if (villager == m_curvillager)
        return false;
    m_curvillager = quint8(villager);
    const OtherVillagers others = otherVillagers(villager);
    for (int i = 0; i < int(others.size()); ++i) {
        const int column = int(ListColumn::OtherVillager1) + i;
        m_list.setHeaderText(column, QString::number(others[size_t(i)]));
        // These columns now show other villagers' flags; only a switch changes them, never a tick.
        m_list.forgetOrder(column);
    }
    return true;
}

void ChecklistDocument::setText(SettingsText field, const StoredText& value)
{
    const int villager = field == SettingsText::TownName ? 0 : m_curvillager;
    StoredText& text = settingsText(m_settings, field, villager);
    m_recovery.textChanging(field, villager, text);
    text = value;
    markModified();
}

void ChecklistDocument::renameVillage(const StoredText& name)
{
    setText(SettingsText::TownName, name);
    Q_EMIT villageNameChanged();
}

void ChecklistDocument::renameVillager(const StoredText& name)
{
    setText(SettingsText::VillagerName, name);
    Q_EMIT villagerNameChanged(m_curvillager);
}

void ChecklistDocument::setNameColor(quint32 bgr)
{
    setText(SettingsText::NameColor, *StoredText::fromTyped(colorText(bgr)));
    Q_EMIT nameColorChanged();
}

void ChecklistDocument::setBackColor(quint32 bgr)
{
    setText(SettingsText::BackColor, *StoredText::fromTyped(colorText(bgr)));
}

void ChecklistDocument::setSearchWindowSize(qint32 width, qint32 height)
{
    m_settings.seekwidth = width;
    m_settings.seekheight = height;
}

std::optional<FileError> ChecklistDocument::reload()
{
    // The windows keep their sizes; the next save writes them over the file's.
    const Settings windowSizes = m_settings;
    if (std::optional<FileError> failure = readFiles())
        return failure;
    m_settings.mainWidth = windowSizes.mainWidth;
    m_settings.mainHeight = windowSizes.mainHeight;
    m_settings.seekwidth = windowSizes.seekwidth;
    m_settings.seekheight = windowSizes.seekheight;
    m_settings.columnWidths = windowSizes.columnWidths;
    // Every column's texts may have changed.
    for (int column = 0; column < listColumnCount; ++column)
        m_list.forgetOrder(column);
    pastelist1();
    Q_EMIT villageNameChanged();
    Q_EMIT villagerNameChanged(m_curvillager);
    Q_EMIT nameColorChanged();
    return std::nullopt;
}

} // namespace kuranote
