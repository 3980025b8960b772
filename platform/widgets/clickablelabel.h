#pragma once

#include <QLabel>

namespace kuranote {

// A label that reports a click, for the name labels that open an input box.
class ClickableLabel final : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace kuranote
