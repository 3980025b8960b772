#pragma once

#include <QString>

namespace kuranote {

// What went wrong with one of the program's files, in words the user can act on.
struct FileError
{
    QString filePath; // native separators, as shown to the user
    int line = 0; // 1-based; 0 when the fault is not on one line
    QString reason;

    QString message() const;
};

} // namespace kuranote
