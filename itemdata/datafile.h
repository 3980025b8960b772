#pragma once

#include "fielderror.h"
#include "filestamp.h"
#include "itemtable.h"

#include <optional>

class QIODevice;

namespace kuranote {

class StagedFile;

// The catalogue file: one record a line, seven texts and four bare flags.
namespace DataFile {

inline const QString fileName = QStringLiteral("kuradata_v2.csv");

// A stamper given takes the stamp of the bytes read or written, as they pass.
std::optional<FileError> load(const QString& folder, ItemTable* table, FileStamper* stamper = nullptr);
// Reads a file's bytes into a table; filePath only names the file in an error.
std::optional<FileError> parse(QByteArrayView bytes, const QString& filePath, ItemTable* table);
// The same from a device, read a piece of the given size at a time, so that the file's bytes never lie in
// memory beside the texts decoded from them.
std::optional<FileError> read(QIODevice* device, const QString& filePath, ItemTable* table, qsizetype piece = 1 << 20,
    FileStamper* stamper = nullptr);
QByteArray encode(const ItemTable& table);
std::optional<FileError> save(const QString& folder, const ItemTable& table, FileStamper* stamper = nullptr);
// Writes the table into a temporary beside the catalogue that a later commit() puts in its place.
std::optional<FileError> stage(
    const QString& folder, const ItemTable& table, StagedFile* staged, FileStamper* stamper = nullptr);

} // namespace DataFile
} // namespace kuranote
