#pragma once

#include "itemdata/savedstates.h"

#include <QDialog>

#include <atomic>
#include <optional>
#include <vector>

class QLabel;
class QPushButton;
class QThread;
class QTreeWidget;

namespace kuranote {

// When a state was replaced, as the dialog lists it and the question before going back names it.
QString savedStateWhen(const SavedState& state);

// The states of the files the backup folder keeps, newest first, each with when it was replaced and, as
// soon as it has been read in the background, its items and each villager's ticks. A state that cannot
// be read is listed with the reason and cannot be chosen.
class SavedStatesDialog final : public QDialog
{
    Q_OBJECT

public:
    SavedStatesDialog(std::vector<SavedState> states, QWidget* parent = nullptr);
    ~SavedStatesDialog() override;

    // The state whose row was chosen, once the dialog was accepted.
    std::optional<SavedState> chosen() const;

private:
    void startReading();
    void showRead(int row, const SavedStateContents& contents);
    void showUnreadable(int row, const FileError& failure);
    void updateRestoreButton();

    std::vector<SavedState> m_states;
    QTreeWidget* m_list;
    QPushButton* m_restore;
    QThread* m_reader = nullptr;
    std::atomic_bool m_stopReading { false };
};

} // namespace kuranote
