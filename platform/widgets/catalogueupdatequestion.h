#pragma once

#include "itemdata/clock.h"

#include <QString>

class QWidget;

namespace kuranote {

class Prompts;
struct CatalogueUpdatePlan;

// The question asked before a newer catalogue takes the place of the folder's: what the update will do, led by a
// warning when the file is doubtful.
QString catalogueUpdateQuestion(const CatalogueUpdatePlan& plan, const QString& folder);

// Taking a newer catalogue into use, as the user meets it wherever it starts: a refusal is shown as an error; else
// the question, whose Enter answers No when the file is doubtful; on Yes the copy of the current catalogue, stamped
// by clock, then the newer one written with the current ticks, and a message naming the copy. True when the newer
// catalogue was written. The caller holds the folder's lock.
bool updateCatalogue(
    Prompts& prompts, QWidget* parent, const QString& folder, const QString& newerPath, const Clock& clock);

} // namespace kuranote
