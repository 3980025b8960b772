#include "safesave.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <utility>

namespace kuranote {

QString filePathIn(const QString& folder, const QString& fileName)
{
    return QDir(folder).filePath(fileName);
}

std::optional<FileError> writeFileSafely(const QString& path, const QByteArray& bytes)
{
    bool handedOut = false;
    return writeFileSafely(path, [&]() -> QByteArrayView {
        if (std::exchange(handedOut, true))
            return {};
        return bytes;
    });
}

std::optional<FileError> writeFileSafely(const QString& path, const std::function<QByteArrayView()>& nextPiece)
{
    const auto failure = [&](const QString& reason) {
        return FileError { QDir::toNativeSeparators(path), 0, QStringLiteral("保存できませんでした: %1").arg(reason) };
    };
    if (QFileInfo(path).isDir())
        return failure(QStringLiteral("同じ名前のフォルダがあります"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failure(file.errorString());
    // A full disk or a file-size limit can accept fewer bytes than asked without raising an error;
    // committing then would put a cut-short file in place of the good one. Writing on after a short
    // write makes the system say why it stopped.
    qint64 handedOver = 0;
    qint64 written = 0;
    for (QByteArrayView piece = nextPiece(); !piece.isEmpty(); piece = nextPiece()) {
        handedOver += piece.size();
        qint64 done = 0;
        while (done < piece.size()) {
            const qint64 n = file.write(piece.data() + done, piece.size() - done);
            if (n <= 0)
                break;
            done += n;
        }
        written += done;
        if (done != piece.size() || file.error() != QFileDevice::NoError) {
            const QString reason = file.error() != QFileDevice::NoError
                ? file.errorString()
                : QStringLiteral("%1 バイトのうち %2 バイトしか書き込めませんでした").arg(handedOver).arg(written);
            file.cancelWriting();
            return failure(reason);
        }
    }
    if (!file.commit())
        return failure(file.errorString());
    return std::nullopt;
}

std::optional<FileError> readWholeFile(const QString& path, QByteArray* bytes)
{
    QFile file(path);
    if (!file.exists())
        return FileError { QDir::toNativeSeparators(path), 0, QStringLiteral("ファイルがありません。") };
    if (!file.open(QIODevice::ReadOnly))
        return FileError { QDir::toNativeSeparators(path), 0, file.errorString() };
    *bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return FileError { QDir::toNativeSeparators(path), 0, file.errorString() };
    return std::nullopt;
}

} // namespace kuranote
