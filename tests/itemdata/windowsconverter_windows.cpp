#include "windowsconverter.h"

#include <windows.h>

namespace WindowsConverter {

constexpr UINT codePage = 932;

bool available()
{
    return true;
}

std::optional<QString> decode(const QByteArray& bytes)
{
    wchar_t units[8] = {};
    const int count = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.constData(), int(bytes.size()), units, 8);
    if (count <= 0)
        return std::nullopt;
    return QString::fromWCharArray(units, count);
}

std::optional<QByteArray> encode(const QString& text)
{
    char bytes[8] = {};
    BOOL usedDefault = FALSE;
    // No best fit: a character without a code of its own is refused, not written as a look-alike.
    const int count = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, reinterpret_cast<const wchar_t*>(text.utf16()),
        int(text.size()), bytes, 8, nullptr, &usedDefault);
    if (count <= 0 || usedDefault)
        return std::nullopt;
    return QByteArray(bytes, count);
}

} // namespace WindowsConverter
