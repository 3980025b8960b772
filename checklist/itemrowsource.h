#pragma once

#include "platform/columnorder.h"
#include "sizes/checklistsizes.h"

#include <array>

namespace kuranote {

class ChecklistDocument;

// The villagers that are not current, in ascending order: the list's columns 1 to 3.
using OtherVillagers = std::array<int, villagerCount - 1>;
OtherVillagers otherVillagers(int curvillager);

// The main list's rows as the checklist document holds them: the cell texts from the catalogue, the
// check box from the current villager's flag. It asks the document on every call and keeps nothing
// of its own, so that a tick is true in one place and nothing it holds can go stale.
class ItemRowSource final : public ListRowSource
{
public:
    explicit ItemRowSource(ChecklistDocument& document);

    int lastRecord() const override;
    QString cellText(int record, int column) const override;
    bool isChecked(int record) const override;

private:
    ChecklistDocument& m_document;
};

} // namespace kuranote
