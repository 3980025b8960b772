#include "savedstates.h"

#include "backupfolder.h"
#include "datafile.h"
#include "itemtable.h"
#include "safesave.h"
#include "settingsfile.h"

#include <QDir>
#include <QRegularExpression>

#include <algorithm>
#include <map>
#include <tuple>

namespace kuranote {

namespace {

struct Form
{
    SavedState::Kind kind;
    QString fileName;
    QString infix;
};

QRegularExpression nameExpression(const Form& form)
{
    return QRegularExpression(
        QStringLiteral("^%1%2(\\d{8}-\\d{6})(?:-(\\d{1,9}))?$")
            .arg(QRegularExpression::escape(form.fileName), QRegularExpression::escape(form.infix)));
}

} // namespace

std::vector<SavedState> listSavedStates(const QString& dataFolder)
{
    const Form forms[] = {
        { SavedState::Kind::Save, DataFile::fileName, BackupFolder::saveInfix },
        { SavedState::Kind::Save, SettingsFile::fileName, BackupFolder::saveInfix },
        { SavedState::Kind::BeforeUpdate, DataFile::fileName, BackupFolder::updateInfix },
        { SavedState::Kind::BeforeConversion, DataFile::fileName, BackupFolder::conversionInfix },
    };
    const QDir folder(BackupFolder::path(dataFolder));
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    // A state is known by its kind, stamp and number; a save's two files share one.
    std::map<std::tuple<SavedState::Kind, QString, int>, SavedState> states;
    for (const Form& form : forms) {
        const QRegularExpression expression = nameExpression(form);
        for (const QString& name : names) {
            const QRegularExpressionMatch match = expression.match(name);
            if (!match.hasMatch())
                continue;
            // Local time as it was written, read as UTC so that an hour a clock change skipped still reads.
            const QString text = match.captured(1);
            const QDateTime stamp(QDate::fromString(text.left(8), QStringLiteral("yyyyMMdd")),
                QTime::fromString(text.mid(9), QStringLiteral("HHmmss")), Qt::UTC);
            if (!stamp.isValid())
                continue;
            const int number = match.captured(2).isEmpty() ? 1 : match.captured(2).toInt();
            SavedState& state = states[{ form.kind, match.captured(1), number }];
            state.kind = form.kind;
            state.stamp = stamp;
            state.number = number;
            // A save keeps both files under one name's tail; naming both, even when one is gone, lets
            // readSavedState() say which is missing.
            const QString tail = name.mid(form.fileName.size());
            state.cataloguePath = folder.filePath(DataFile::fileName + tail);
            if (form.kind == SavedState::Kind::Save)
                state.settingsPath = folder.filePath(SettingsFile::fileName + tail);
        }
    }
    std::vector<SavedState> listed;
    for (auto& entry : states)
        listed.push_back(std::move(entry.second));
    std::stable_sort(listed.begin(), listed.end(), [](const SavedState& a, const SavedState& b) {
        return std::tie(b.stamp, b.number) < std::tie(a.stamp, a.number);
    });
    return listed;
}

std::optional<FileError> readSavedState(const SavedState& state, SavedStateContents* contents)
{
    SavedStateContents read;
    if (std::optional<FileError> failure = readWholeFile(state.cataloguePath, &read.catalogue))
        return failure;
    ItemTable items(read.catalogue.size());
    const QString catalogueName = QDir::toNativeSeparators(state.cataloguePath);
    if (std::optional<FileError> failure = DataFile::parse(read.catalogue, catalogueName, &items))
        return failure;
    if (!state.settingsPath.isEmpty()) {
        if (std::optional<FileError> failure = readWholeFile(state.settingsPath, &read.settings))
            return failure;
        Settings settings;
        const QString settingsName = QDir::toNativeSeparators(state.settingsPath);
        if (std::optional<FileError> failure = SettingsFile::parse(read.settings, settingsName, &settings))
            return failure;
    }
    // Record 1 is the header.
    read.items = std::max(items.count() - 1, 0);
    for (int record = 2; record <= items.count(); ++record) {
        for (int villager = 1; villager <= villagerCount; ++villager)
            read.ticks[size_t(villager)] += items.flag(record, villager) != 0 ? 1 : 0;
    }
    *contents = std::move(read);
    return std::nullopt;
}

} // namespace kuranote
