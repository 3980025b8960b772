#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Windows' own code page 932 converter (MultiByteToWideChar and WideCharToMultiByte), which the program's
// table must agree with; built only for Windows, where available() is true (also under Wine).
namespace WindowsConverter {

bool available();
// The text, or nothing when Windows refuses the bytes as invalid.
std::optional<QString> decode(const QByteArray& bytes);
// The bytes, or nothing when Windows has no code for the text and would write its default character.
std::optional<QByteArray> encode(const QString& text);

} // namespace WindowsConverter
