#include "safesave.h"

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

StagedFile::StagedFile(SaveCalls calls)
    : m_calls(std::move(calls))
{
}

StagedFile::~StagedFile()
{
    discard();
}

void StagedFile::discard()
{
    if (!m_temporary.isEmpty())
        QFile::remove(std::exchange(m_temporary, QString()));
}

FileError StagedFile::failure(const QString& reason) const
{
    return { QDir::toNativeSeparators(m_path), 0, QStringLiteral("保存できませんでした: %1").arg(reason) };
}

std::optional<FileError> StagedFile::write(const QString& path, const QByteArray& bytes)
{
    bool handedOut = false;
    return write(path, [&]() -> QByteArrayView {
        if (std::exchange(handedOut, true))
            return {};
        return bytes;
    });
}

std::optional<FileError> StagedFile::write(const QString& path, const std::function<QByteArrayView()>& nextPiece)
{
    discard();
    m_path = path;
    const QFileInfo prior(path);
    if (prior.isDir())
        return failure(QStringLiteral("同じ名前のフォルダがあります"));
    // A file the user made read-only stays as it is, although its folder would let it be replaced.
    if (prior.exists() && !prior.isWritable())
        return failure(QStringLiteral("ファイルが書き込み禁止です"));
    m_target = finalPathOf(path);
    QFile file;
    for (int attempt = 0; attempt < 100 && !file.isOpen(); ++attempt) {
        file.setFileName(temporaryNameFor(m_target));
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) && !file.exists())
            return failure(file.errorString());
    }
    if (!file.isOpen())
        return failure(file.errorString());
    m_temporary = file.fileName();
    if (prior.exists())
        file.setPermissions(QFileInfo(m_target).permissions());
    const auto abandon = [&](const QString& reason) {
        file.close();
        discard();
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
    // Through the handle that wrote the bytes: a write-back error the disk reports only now is reported to
    // this handle, and a file reopened to flush could be told nothing of it.
    if (const std::optional<QString> reason = m_calls.flush(file.handle()))
        return abandon(QStringLiteral("ディスクへの書き出しを確かめられませんでした: %1").arg(*reason));
    file.close();
    if (file.error() != QFileDevice::NoError)
        return abandon(file.errorString());
    return std::nullopt;
}

std::optional<FileError> StagedFile::commit()
{
    if (const std::optional<QString> reason = m_calls.replace(m_temporary, m_target)) {
        discard();
        return failure(*reason);
    }
    m_temporary.clear();
    return std::nullopt;
}

namespace {

std::optional<FileError> commitAtOnce(StagedFile& staged)
{
    if (std::optional<FileError> failure = staged.commit())
        return failure;
    // A single file has no second one to wait for; the new name is made durable when it can be, and a folder
    // that cannot be synced leaves the file in place all the same.
    syncFolder(QFileInfo(staged.target()).path());
    return std::nullopt;
}

} // namespace

std::optional<FileError> writeFileSafely(const QString& path, const QByteArray& bytes)
{
    StagedFile staged;
    if (std::optional<FileError> failure = staged.write(path, bytes))
        return failure;
    return commitAtOnce(staged);
}

std::optional<FileError> writeFileSafely(const QString& path, const std::function<QByteArrayView()>& nextPiece)
{
    StagedFile staged;
    if (std::optional<FileError> failure = staged.write(path, nextPiece))
        return failure;
    return commitAtOnce(staged);
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
