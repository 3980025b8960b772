#pragma once

#include "fielderror.h"

#include <QByteArray>

#include <functional>

#include <optional>

namespace kuranote {

// Replaces the file at path with bytes, or leaves it exactly as it was: the bytes go to a temporary
// file beside it, which takes the file's place only when every byte was written and flushed.
std::optional<FileError> writeFileSafely(const QString& path, const QByteArray& bytes);
// The same with the bytes that nextPiece() hands out, one piece after another until it hands out none, so that a
// large file never lies in memory whole. Each piece must stay valid until the next call.
std::optional<FileError> writeFileSafely(const QString& path, const std::function<QByteArrayView()>& nextPiece);

// Reads a whole file, or says why it cannot.
std::optional<FileError> readWholeFile(const QString& path, QByteArray* bytes);

QString filePathIn(const QString& folder, const QString& fileName);

} // namespace kuranote
