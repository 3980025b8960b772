#pragma once

#include "fielderror.h"

#include <QByteArray>

#include <functional>

#include <optional>

namespace kuranote {

// Replaces the file at path with bytes, or leaves it exactly as it was: the bytes go to a temporary
// file beside it, which takes the file's place only when every byte was written and flushed. A file that
// is a symbolic link stays one: its target is replaced.
std::optional<FileError> writeFileSafely(const QString& path, const QByteArray& bytes);
// The same with the bytes that nextPiece() hands out, one piece after another until it hands out none, so that a
// large file never lies in memory whole. Each piece must stay valid until the next call.
std::optional<FileError> writeFileSafely(const QString& path, const std::function<QByteArrayView()>& nextPiece);

// Removes the temporaries that saves killed midway left in folder (never another file, nor anything in a
// folder inside it). Only while this program holds the folder's lock: another's save may be under way.
void removeSaveLeftovers(const QString& folder);

// Reads a whole file, or says why it cannot.
std::optional<FileError> readWholeFile(const QString& path, QByteArray* bytes);

QString filePathIn(const QString& folder, const QString& fileName);

} // namespace kuranote
