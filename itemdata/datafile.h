#pragma once

#include "fielderror.h"
#include "itemtable.h"

#include <optional>

namespace kuranote {

// The catalogue file: one record a line, seven texts and four bare flags.
namespace DataFile {

inline const QString fileName = QStringLiteral("kuradata_v2.csv");

std::optional<FileError> load(const QString& folder, ItemTable* table);
// Reads a file's bytes into a table; filePath only names the file in an error.
std::optional<FileError> parse(QByteArray bytes, const QString& filePath, ItemTable* table);
QByteArray encode(const ItemTable& table);
std::optional<FileError> save(const QString& folder, const ItemTable& table);

} // namespace DataFile
} // namespace kuranote
