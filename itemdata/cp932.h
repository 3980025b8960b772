#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace kuranote {

// Code page 932 ("windows-31j"), the encoding of every file the programs read and write.
// Both ways run on lookup tables taken once from ICU's converter (see Cp932Table), so that a
// million-record file decodes at memory speed. Bytes that are not code page 932 decode as U+FFFD;
// callers that must write them back keep the original bytes (see StoredText).
namespace Cp932 {

// Why the table could not be built, or nothing. The programs ask before they read any file: without
// the table every Japanese text would show as U+FFFD.
std::optional<QString> tableError();

struct Decoded
{
    qsizetype units;
    // Whether encodeDecodedInto() gives the very bytes back: false when they hold bytes that are not code
    // page 932, or a code that decodes to the same character as another code that is written for it.
    bool reversible;
};

QString decode(QByteArrayView bytes);
// Decodes into room for at least bytes.size() units.
Decoded decodeInto(QByteArrayView bytes, char16_t* dest);
// Writes the bytes of a text whose decoding was reversible into room for at least 2 * text.size() bytes and
// returns their number.
qsizetype encodeDecodedInto(QStringView text, char* dest);

// The bytes of a text typed by the user, or nothing when a character cannot be stored.
std::optional<QByteArray> encode(const QString& text);

} // namespace Cp932
} // namespace kuranote
