#pragma once

#include "fielderror.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

namespace kuranote {

// One line of the previous version's single-player file: an item name and its acquired mark.
struct OldMark
{
    QString name; // double quotes already removed
    double mark = 0;
    int line = 0; // 1-based, for messages

    bool acquired() const { return mark == 1; }
};

// The previous version's data file. Its first line is a header of no interest; every further line
// is cut at each comma, with no quoting rule, into the name and the mark (fields after those two
// are ignored).
namespace OldFile {

inline const QString fileName = QStringLiteral("kuradata.csv");

// Reads a file's bytes into its marks; filePath only names the file in an error.
std::optional<FileError> parse(QByteArrayView bytes, const QString& filePath, QList<OldMark>* marks);
std::optional<FileError> load(const QString& folder, QList<OldMark>* marks);

} // namespace OldFile
} // namespace kuranote
