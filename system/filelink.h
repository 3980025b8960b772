#pragma once

#include <QString>

#include <optional>

namespace kuranote {

// Gives the file at path a second name, link, without copying a byte; or gives the system's reason why not (a file
// system without links, such as FAT, or link on another one).
std::optional<QString> linkFile(const QString& path, const QString& link);

// How many names the file at path has (a symbolic link is followed); 0 when that cannot be told.
int nameCount(const QString& path);

} // namespace kuranote
