#pragma once

#include "itemdata/savedstates.h"

#include <optional>
#include <vector>

class QWidget;

namespace kuranote {

// Lets the user choose one of the states the backup folder keeps, so that tests answer in the dialog's place.
class SavedStateChooser
{
public:
    virtual ~SavedStateChooser() = default;
    // The state chosen, or nothing when the user closed the choice.
    virtual std::optional<SavedState> choose(QWidget* parent, const std::vector<SavedState>& states) = 0;
};

// Asks through SavedStatesDialog.
class DialogStateChooser final : public SavedStateChooser
{
public:
    std::optional<SavedState> choose(QWidget* parent, const std::vector<SavedState>& states) override;
};

} // namespace kuranote
