#include "windowsconverter.h"

// Elsewhere than on Windows there is no converter of Windows' own to compare with.
namespace WindowsConverter {

bool available()
{
    return false;
}

std::optional<QString> decode(const QByteArray&)
{
    return std::nullopt;
}

std::optional<QByteArray> encode(const QString&)
{
    return std::nullopt;
}

} // namespace WindowsConverter
