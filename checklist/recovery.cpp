#include "recovery.h"

#include "itemdata/safesave.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kuranote {

RecoveryRecorder::RecoveryRecorder(QString filePath, QObject* parent)
    : QObject(parent)
    , m_filePath(std::move(filePath))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(delayMs);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryRecorder::due);
}

void RecoveryRecorder::begin(const FileStamp& dataFile, const FileStamp& settingsFile)
{
    m_dataFile = dataFile;
    m_settingsFile = settingsFile;
    m_flagsInFile.clear();
    m_textsInFile.clear();
    m_timer.stop();
    m_keptOff = false;
}

void RecoveryRecorder::flagChanging(int record, int villager, quint8 before)
{
    m_flagsInFile.try_emplace({ record, villager }, before);
    schedule();
}

void RecoveryRecorder::textChanging(SettingsText field, int villager, const StoredText& before)
{
    m_textsInFile.try_emplace({ field, villager }, before);
    schedule();
}

void RecoveryRecorder::schedule()
{
    // Not restarted by later changes: a steady stream of ticks is still written within the delay.
    if (!m_timer.isActive() && !m_keptOff)
        m_timer.start();
}

void RecoveryRecorder::dataFileSaved(const FileStamp& stamp, const ItemTable& items, const Settings& settings)
{
    m_dataFile = stamp;
    m_flagsInFile.clear();
    settle(items, settings);
}

void RecoveryRecorder::settingsFileSaved(const FileStamp& stamp, const ItemTable& items, const Settings& settings)
{
    m_settingsFile = stamp;
    m_textsInFile.clear();
    settle(items, settings);
}

void RecoveryRecorder::settle(const ItemTable& items, const Settings& settings)
{
    // After a save of both files nothing is left and the file goes. After the catalogue alone, the
    // file must name the new catalogue at once, or a crash now would leave a record of other files.
    if (m_flagsInFile.empty() && m_textsInFile.empty())
        removeFile();
    else
        recordNow(items, settings);
}

void RecoveryRecorder::removeFile()
{
    m_timer.stop();
    if (!m_keptOff)
        QFile::remove(m_filePath);
}

RecoveryRecord RecoveryRecorder::unsavedChanges(const ItemTable& items, const Settings& settings) const
{
    RecoveryRecord changes { m_dataFile, m_settingsFile, {}, {} };
    for (const auto& [key, inFile] : m_flagsInFile) {
        const quint8 now = items.flag(key.first, key.second);
        if (now != inFile)
            changes.flags.push_back({ key.first, key.second, now });
    }
    for (const auto& [key, inFile] : m_textsInFile) {
        const StoredText& now = settingsText(settings, key.first, key.second);
        if (!(now == inFile))
            changes.texts.push_back({ key.first, key.second, now });
    }
    return changes;
}

void RecoveryRecorder::recordNow(const ItemTable& items, const Settings& settings)
{
    m_timer.stop();
    if (m_keptOff)
        return;
    const RecoveryRecord changes = unsavedChanges(items, settings);
    if (changes.flags.empty() && changes.texts.empty()) {
        QFile::remove(m_filePath);
        return;
    }
    // Nobody is told of a failure here: the changes are still in memory, the save will name any
    // fault of the folder, and the next attempt follows shortly.
    if (writeFileSafely(m_filePath, RecoveryFile::encode(changes)))
        m_timer.start();
}

void RecoveryRecorder::discard()
{
    m_flagsInFile.clear();
    m_textsInFile.clear();
    removeFile();
}

void RecoveryRecorder::keepOffFile()
{
    m_keptOff = true;
    m_timer.stop();
}

std::optional<QString> moveAside(const QString& path, const QDateTime& now)
{
    const QString stem = path + now.toString(QStringLiteral("-yyyyMMdd-HHmmss"));
    QString aside = stem;
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = stem + QStringLiteral("-%1").arg(n);
    if (!QFile::rename(path, aside))
        return std::nullopt;
    return aside;
}

} // namespace kuranote
