#pragma once

#include "checklist/checklistdocument.h"

// The n-th change (counted from 1) of a session as the recovery tests make it, the same in the helper
// process and in the test: mostly ticks and unticks, some of them undoing an earlier one; now and then
// a switch of villager, a rename of the village or of the current villager, or a colour. The list
// must have been filled.
void makeSessionChange(kuranote::ChecklistDocument& document, int n);
