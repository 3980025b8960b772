#pragma once

#include "itemdata/clock.h"

#include <QWidget>

class QLabel;

namespace kuranote {

class Prompts;

// The converter's small status window. The first time it becomes active it converts the files of
// its folder, reports the outcome and asks, through finished(), for the program to end.
class ConvertWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ConvertWindow)

public:
    ConvertWindow(Prompts& prompts, QString folder, Clock clock, QWidget* parent = nullptr);

Q_SIGNALS:
    // 0 after a conversion, 1 after a failure that was shown to the user.
    void finished(int exitCode);

protected:
    bool event(QEvent* event) override;

private:
    void Form_Activate();

    Prompts& m_prompts;
    QString m_folder;
    Clock m_clock;
    QLabel* Label1;
    bool m_converted = false;
};

} // namespace kuranote
