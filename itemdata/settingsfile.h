#pragma once

#include "fielderror.h"
#include "sizes/checklistsizes.h"
#include "storedtext.h"

#include <array>
#include <optional>

namespace kuranote {

// What the user adjusts besides the ticks: names, colours and the sizes of windows and columns.
// Sizes are in twips. Arrays indexed by villager run 0 to villagerCount, of which 1 to villagerCount are used.
struct Settings
{
    using PerVillager = std::array<StoredText, villagerCount + 1>;

    StoredText townname;
    PerVillager villagername;
    PerVillager namecolor;
    PerVillager bgcolor;
    float mainWidth = 0;
    float mainHeight = 0;
    qint32 seekwidth = 0;
    qint32 seekheight = 0;
    std::array<float, listColumnCount> columnWidths {};
};

// What a villager is called until named: "1st" to "4th", for villager 1 to villagerCount.
QString unnamedVillager(int villager);

// A colour text of the settings: the decimal text of a 0x00BBGGRR value.
std::optional<quint32> parseColorText(const QString& text);
QString colorText(quint32 bgr);

// A name the user typed, as the settings file can hold it: a double quote would end the name there
// and shift every later line, so it becomes a full-width one. Nothing when code page 932 cannot
// store the name.
std::optional<StoredText> storableName(QString typed);

namespace SettingsFile {

inline const QString fileName = QStringLiteral("kurasize.dat");
constexpr int lineCount = 27;
// The village's name; each villager's name, name colour and background colour; the two windows' sizes; the
// columns' widths. A change of either count changes the file's layout, which older files must still fit.
static_assert(lineCount == 1 + 3 * villagerCount + 2 + 2 + listColumnCount);

std::optional<FileError> load(const QString& folder, Settings* settings);
std::optional<FileError> parse(QByteArrayView bytes, const QString& filePath, Settings* settings);
QByteArray encode(const Settings& settings);
std::optional<FileError> save(const QString& folder, const Settings& settings);

} // namespace SettingsFile
} // namespace kuranote
