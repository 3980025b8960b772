#include "filereplace.h"

#include <QDir>
#include <QFile>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#endif

namespace kuranote {

namespace {

// An error here costs only durability: the bytes were written.
void syncToDisk(const QString& path)
{
#ifdef Q_OS_WIN
    const HANDLE file = CreateFileW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()),
        GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        FlushFileBuffers(file);
        CloseHandle(file);
    }
#else
    const int file = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (file >= 0) {
        ::fsync(file);
        ::close(file);
    }
#endif
}

} // namespace

std::optional<QString> replaceFile(const QString& replacement, const QString& path)
{
    syncToDisk(replacement);
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

} // namespace kuranote
