#pragma once

#include "fielderror.h"

#include "system/filereplace.h"

#include <QByteArray>

#include <functional>
#include <optional>

namespace kuranote {

// The calls of a safe save that the system can fail on its own, after every byte was accepted: tests hand in
// ones that fail.
struct SaveCalls
{
    std::function<std::optional<QString>(int handle)> flush = flushFile;
    std::function<std::optional<QString>(const QString& replacement, const QString& path)> replace = replaceFile;
};

// A file's new bytes, written and flushed into a temporary beside it, waiting to take its place: so that a
// save of two files can write both, and ask what it must ask, before it replaces either. The temporary is
// removed unless it took the file's place.
class StagedFile final
{
public:
    explicit StagedFile(SaveCalls calls = {});
    ~StagedFile();
    Q_DISABLE_COPY_MOVE(StagedFile)

    // Writes the bytes that nextPiece() hands out, one piece after another until it hands out none, so that a
    // large file never lies in memory whole; each piece must stay valid until the next call. The temporary is
    // flushed to the disk and closed. A failure names path, and leaves nothing behind.
    std::optional<FileError> write(const QString& path, const std::function<QByteArrayView()>& nextPiece);
    std::optional<FileError> write(const QString& path, const QByteArray& bytes);
    // The file the temporary will replace: the path written, or where its symbolic links lead, so that a
    // save keeps the link.
    const QString& target() const { return m_target; }
    // Puts the temporary in the target's place in one step, or leaves the target as it was.
    std::optional<FileError> commit();

private:
    FileError failure(const QString& reason) const;
    void discard();

    SaveCalls m_calls;
    QString m_path;
    QString m_target;
    QString m_temporary;
};

// Replaces the file at path with bytes, or leaves it exactly as it was: a StagedFile committed at once.
std::optional<FileError> writeFileSafely(const QString& path, const QByteArray& bytes);
std::optional<FileError> writeFileSafely(const QString& path, const std::function<QByteArrayView()>& nextPiece);

// Removes the temporaries that saves or copies killed midway left in folder (never another file, nor anything in
// a folder inside it). Only while this program holds the folder's lock: another's save may be under way.
void removeSaveLeftovers(const QString& folder);

// Reads a whole file, or says why it cannot.
std::optional<FileError> readWholeFile(const QString& path, QByteArray* bytes);

QString filePathIn(const QString& folder, const QString& fileName);

} // namespace kuranote
