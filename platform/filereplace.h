#pragma once

#include <QString>

#include <optional>

namespace kuranote {

// Puts the closed file replacement in the place of the file at path in one step, after making its bytes
// durable; or gives the system's reason why not. The one step of a safe save that each system does its own way.
std::optional<QString> replaceFile(const QString& replacement, const QString& path);

} // namespace kuranote
