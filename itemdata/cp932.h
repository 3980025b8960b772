#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace kuranote {

// Code page 932 ("windows-31j"), the encoding of every file the programs read and write.
// Decoding and encoding run on lookup tables taken once from Qt's own converter, so that a million-record
// file decodes at memory speed and exactly as Qt would decode it. Bytes that are not code page 932 decode
// as U+FFFD; callers that must write them back keep the original bytes (see StoredText).
namespace Cp932 {

struct Decoded
{
    qsizetype units;
    // Whether encodeDecoded() gives the very bytes back: false when they hold bytes that are not code page 932,
    // or a code that decodes to the same character as another code that Qt's converter writes for it.
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
