#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace kuranote {

// Code page 932 ("windows-31j"), the encoding of every file the programs read and write.
// Both ways run on a lookup table taken once from ICU's converter (see Cp932Table), so that a
// million-record file decodes at memory speed. Bytes that are not code page 932 decode as U+FFFD;
// callers that must write them back keep the original bytes (see StoredText).
namespace Cp932 {

// Why the table could not be built, or nothing. The programs ask before they read any file: without
// the table every Japanese text would show as U+FFFD.
std::optional<QString> tableError();

QString decode(QByteArrayView bytes);
// Decodes into room for at least bytes.size() units and returns the number of units written.
qsizetype decodeInto(QByteArrayView bytes, char16_t* dest);

// The bytes of a text typed by the user, or nothing when a character cannot be stored.
std::optional<QByteArray> encode(const QString& text);

} // namespace Cp932
} // namespace kuranote
