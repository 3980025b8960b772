#include "filelink.h"

#include <QDir>
#include <QFile>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace kuranote {

std::optional<QString> linkFile(const QString& path, const QString& link)
{
#ifdef Q_OS_WIN
    const QString existing = QDir::toNativeSeparators(path);
    const QString name = QDir::toNativeSeparators(link);
    if (!CreateHardLinkW(reinterpret_cast<const wchar_t*>(name.utf16()),
            reinterpret_cast<const wchar_t*>(existing.utf16()), nullptr))
        return qt_error_string(int(GetLastError()));
#else
    if (::link(QFile::encodeName(path).constData(), QFile::encodeName(link).constData()) != 0)
        return qt_error_string(errno);
#endif
    return std::nullopt;
}

int nameCount(const QString& path)
{
#ifdef Q_OS_WIN
    const QString name = QDir::toNativeSeparators(path);
    // No access asked for: the count is among the attributes anyone who sees the file may read.
    const HANDLE file = CreateFileW(reinterpret_cast<const wchar_t*>(name.utf16()), 0,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
        nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    BY_HANDLE_FILE_INFORMATION information {};
    const BOOL known = GetFileInformationByHandle(file, &information);
    CloseHandle(file);
    return known ? int(information.nNumberOfLinks) : 0;
#else
    struct stat status
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return 0;
    return int(status.st_nlink);
#endif
}

} // namespace kuranote
