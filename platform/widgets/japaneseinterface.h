#pragma once

class QTranslator;

namespace kuranote {

// Gives the whole program the Japanese interface font, and Qt's own Japanese texts (the standard
// buttons of the message boxes read はい, いいえ, キャンセル) where that translation is installed.
// The translator must live as long as the program.
void useJapaneseInterface(QTranslator* qtTranslator);

} // namespace kuranote
