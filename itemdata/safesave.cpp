#include "safesave.h"

#include "platform/filereplace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <utility>

namespace kuranote {

namespace {

// A save's temporary is the file's name, this mark and six random letters or digits. Nothing else makes
// such names, so that a start can remove those a killed save left behind and nothing more.
const QLatin1String temporaryMark(".kuranote-save-");
constexpr int temporaryRandomLength = 6;

QString temporaryNameFor(const QString& path)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString name = path + temporaryMark;
    for (int i = 0; i < temporaryRandomLength; ++i)
        name.append(QLatin1Char(letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)]));
    return name;
}

// Where the bytes go: the file a symbolic link points to, so that a save keeps the link.
QString finalPathOf(const QString& path)
{
    QFileInfo file(path);
    for (int depth = 0; depth < 128 && file.isSymLink(); ++depth)
        file.setFile(file.symLinkTarget());
    return file.filePath();
}

} // namespace

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
    const QFileInfo prior(path);
    if (prior.isDir())
        return failure(QStringLiteral("同じ名前のフォルダがあります"));
    // A file the user made read-only stays as it is, although its folder would let it be replaced.
    if (prior.exists() && !prior.isWritable())
        return failure(QStringLiteral("ファイルが書き込み禁止です"));
    const QString finalPath = finalPathOf(path);
    QFile file;
    for (int attempt = 0; attempt < 100 && !file.isOpen(); ++attempt) {
        file.setFileName(temporaryNameFor(finalPath));
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) && !file.exists())
            return failure(file.errorString());
    }
    if (!file.isOpen())
        return failure(file.errorString());
    if (prior.exists())
        file.setPermissions(QFileInfo(finalPath).permissions());
    const auto abandon = [&](const QString& reason) {
        file.close();
        file.remove();
        return failure(reason);
    };
    // A full disk or a file-size limit can accept fewer bytes than asked without raising an error;
    // replacing the file then would put a cut-short file in place of the good one. Writing on after a
    // short write makes the system say why it stopped.
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
            return abandon(file.error() != QFileDevice::NoError
                    ? file.errorString()
                    : QStringLiteral("%1 バイトのうち %2 バイトしか書き込めませんでした").arg(handedOver).arg(written));
        }
    }
    if (!file.flush())
        return abandon(file.errorString());
    file.close();
    if (file.error() != QFileDevice::NoError)
        return abandon(file.errorString());
    if (const std::optional<QString> reason = replaceFile(file.fileName(), finalPath)) {
        file.remove();
        return failure(*reason);
    }
    return std::nullopt;
}

void removeSaveLeftovers(const QString& folder)
{
    static const QRegularExpression leftover(
        QStringLiteral("^.+%1[A-Za-z0-9]{%2}$")
            .arg(QRegularExpression::escape(temporaryMark), QString::number(temporaryRandomLength)));
    // Files of this folder only: a folder inside it, such as the backups', is never looked into.
    const QDir dir(folder);
    const QStringList names = dir.entryList(
        { QStringLiteral("*") + temporaryMark + QStringLiteral("*") }, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        if (leftover.match(name).hasMatch())
            QFile::remove(dir.filePath(name));
    }
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
