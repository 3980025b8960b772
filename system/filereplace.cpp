#include "filereplace.h"

#include <QDir>
#include <QFile>

#ifdef Q_OS_WIN
#include <windows.h>

#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#endif

namespace kuranote {

namespace {

#ifndef Q_OS_WIN
bool cannotSync(int error)
{
    return error == EINVAL || error == ENOTSUP || error == EOPNOTSUPP;
}
#endif

} // namespace

std::optional<QString> flushFile(int handle)
{
#ifdef Q_OS_WIN
    const auto file = reinterpret_cast<HANDLE>(_get_osfhandle(handle));
    if (file == INVALID_HANDLE_VALUE)
        return qt_error_string(ERROR_INVALID_HANDLE);
    if (FlushFileBuffers(file))
        return std::nullopt;
    const DWORD error = GetLastError();
    if (error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED)
        return std::nullopt;
    return qt_error_string(int(error));
#else
#if defined(_POSIX_SYNCHRONIZED_IO) && _POSIX_SYNCHRONIZED_IO > 0
    // The data and the size, without the times nobody reads back.
    const int result = ::fdatasync(handle);
#else
    const int result = ::fsync(handle);
#endif
    if (result == 0 || cannotSync(errno))
        return std::nullopt;
    return qt_error_string(errno);
#endif
}

std::optional<QString> replaceFile(const QString& replacement, const QString& path)
{
#ifdef Q_OS_WIN
    const QString from = QDir::toNativeSeparators(replacement);
    const QString to = QDir::toNativeSeparators(path);
    if (!MoveFileExW(reinterpret_cast<const wchar_t*>(from.utf16()), reinterpret_cast<const wchar_t*>(to.utf16()),
            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return qt_error_string(int(GetLastError()));
#else
    if (std::rename(QFile::encodeName(replacement).constData(), QFile::encodeName(path).constData()) != 0)
        return qt_error_string(errno);
#endif
    return std::nullopt;
}

std::optional<QString> syncFolder(const QString& folder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(folder)
    return std::nullopt;
#else
    const int handle = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0)
        return qt_error_string(errno);
    const int result = ::fsync(handle);
    const int error = errno;
    ::close(handle);
    if (result == 0 || cannotSync(error))
        return std::nullopt;
    return qt_error_string(error);
#endif
}

} // namespace kuranote
