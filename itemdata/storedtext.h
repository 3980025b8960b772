#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace kuranote {

// A text of a file together with the bytes it is written as. Texts read from a file keep the very
// bytes they came with: code page 932 has codes that decode to the same character as another code,
// so encoding a decoded text again could silently rewrite what the user never touched.
class StoredText final
{
public:
    StoredText() = default;
    static StoredText fromBytes(QByteArrayView bytes);
    // Nothing when the text holds a character that code page 932 cannot store.
    static std::optional<StoredText> fromTyped(const QString& text);

    const QString& text() const { return m_text; }
    const QByteArray& bytes() const { return m_bytes; }

    friend bool operator==(const StoredText& a, const StoredText& b) { return a.m_bytes == b.m_bytes; }

private:
    QString m_text;
    QByteArray m_bytes;
};

} // namespace kuranote
