#pragma once

#include <QString>

#include <optional>

namespace kuranote {

// The steps of a safe save that each system does its own way. Each gives the system's reason when it fails.

// Makes the bytes written through an open file durable: handle is the file's QFile::handle(). A file system that
// cannot flush (a pipe, some network shares) is no failure: there is nothing more to make durable there.
std::optional<QString> flushFile(int handle);

// Puts the closed file replacement in the place of the file at path in one step.
std::optional<QString> replaceFile(const QString& replacement, const QString& path);

// Makes the names a rename just gave inside folder durable, so that a power cut cannot bring the old file back.
// Windows writes a rename through by itself (MOVEFILE_WRITE_THROUGH).
std::optional<QString> syncFolder(const QString& folder);

} // namespace kuranote
