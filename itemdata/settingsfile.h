#pragma once

#include "fielderror.h"
#include "storedtext.h"

#include <array>
#include <optional>

namespace kuranote {

// What the user adjusts besides the ticks: names, colours and the sizes of windows and columns.
// Sizes are in twips. Arrays indexed by villager run 0 to 4, of which 1 to 4 are used.
struct Settings
{
    StoredText townname;
    std::array<StoredText, 5> villagername;
    std::array<StoredText, 5> namecolor;
    std::array<StoredText, 5> bgcolor;
    float mainWidth = 0;
    float mainHeight = 0;
    qint32 seekwidth = 0;
    qint32 seekheight = 0;
    std::array<float, 10> columnWidths {};
};

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

std::optional<FileError> load(const QString& folder, Settings* settings);
std::optional<FileError> parse(QByteArrayView bytes, const QString& filePath, Settings* settings);
QByteArray encode(const Settings& settings);
std::optional<FileError> save(const QString& folder, const Settings& settings);

} // namespace SettingsFile
} // namespace kuranote
