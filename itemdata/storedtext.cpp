#include "storedtext.h"

#include "cp932.h"

namespace kuranote {

StoredText StoredText::fromBytes(QByteArrayView bytes)
{
    StoredText stored;
    stored.m_bytes = bytes.toByteArray();
    stored.m_text = Cp932::decode(bytes);
    return stored;
}

std::optional<StoredText> StoredText::fromTyped(const QString& text)
{
    std::optional<QByteArray> bytes = Cp932::encode(text);
    if (!bytes)
        return std::nullopt;
    StoredText stored;
    stored.m_text = text;
    stored.m_bytes = *std::move(bytes);
    return stored;
}

} // namespace kuranote
