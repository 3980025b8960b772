#include "oldfile.h"

#include "cp932.h"
#include "fieldreader.h"
#include "safesave.h"

#include <QDir>

namespace kuranote {
namespace {

// Splits the bytes into lines. CR LF ends a line, and so does a lone CR or LF, as other editors
// write them; a line end at the very end of the data starts no further line.
QList<QByteArrayView> splitLines(QByteArrayView bytes)
{
    QList<QByteArrayView> lines;
    qsizetype start = 0;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        const char c = bytes[pos];
        if (c != '\r' && c != '\n') {
            ++pos;
            continue;
        }
        lines.append(bytes.sliced(start, pos - start));
        ++pos;
        if (c == '\r' && pos < bytes.size() && bytes[pos] == '\n')
            ++pos;
        start = pos;
    }
    if (start < bytes.size())
        lines.append(bytes.sliced(start));
    return lines;
}

} // namespace

std::optional<FileError> OldFile::parse(QByteArrayView bytes, const QString& filePath, QList<OldMark>* marks)
{
    const auto error = [&](int line, const QString& reason) {
        return FileError { QDir::toNativeSeparators(filePath), line, reason };
    };
    const QList<QByteArrayView> lines = splitLines(bytes);
    if (lines.isEmpty())
        return error(1, QStringLiteral("ファイルが空です。1 行目（見出しの行）がありません。"));

    QList<OldMark> read;
    read.reserve(lines.size() - 1);
    // The first line is the old header; what it holds does not matter.
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const int line = int(i) + 1;
        // No byte of a double-byte character can be a comma, so the raw line can be cut as it is.
        const QByteArrayView text = lines[i];
        const qsizetype firstComma = text.indexOf(',');
        if (firstComma < 0) {
            return error(
                line, QStringLiteral("アイテム名と取得マークの 2 項目が必要ですが、この行にはコンマがありません。"));
        }
        const QByteArrayView rest = text.sliced(firstComma + 1);
        const qsizetype secondComma = rest.indexOf(',');
        const QByteArrayView markField = secondComma < 0 ? rest : rest.first(secondComma);
        const std::optional<double> mark = parseDecimal(markField);
        if (!mark) {
            return error(line,
                QStringLiteral("2 番目の項目（取得マーク）「%1」が数値ではありません。")
                    .arg(Cp932::decode(markField).left(40)));
        }
        read.append(OldMark { Cp932::decode(text.first(firstComma)).remove(u'"'), *mark, line });
    }
    *marks = std::move(read);
    return std::nullopt;
}

std::optional<FileError> OldFile::load(const QString& folder, QList<OldMark>* marks)
{
    const QString path = filePathIn(folder, fileName);
    QByteArray bytes;
    if (std::optional<FileError> failure = readWholeFile(path, &bytes))
        return failure;
    return parse(bytes, path, marks);
}

} // namespace kuranote
