#pragma once

#include <QString>

namespace kuranote {

enum class CatalogueTexts {
    Typical, // names of 3 to 20 characters, sets, series, makers, notes
    Short, // names of 2 to 4 characters, no sets, series or notes: the most records a megabyte can hold
};

// Writes a deterministic catalogue of the given number of items into a folder, with a settings
// file and a word file beside it: texts that look like a real catalogue (kanji, kana, Latin
// letters and digits), about 30 % of the flags set, about 1 % of the items holding the word
// that keyedWord() returns.
void generateCatalogue(
    const QString& folder, int items, CatalogueTexts kind = CatalogueTexts::Typical, quint32 seed = 20261207);

QString keyedWord();

} // namespace kuranote
