#pragma once

#include <QTreeWidget>

namespace kuranote {

// The condition tree, reporting every click in it (also on blank space or an expander sign) and
// every character key, before its own keyboard handling.
class TreeView final : public QTreeWidget
{
    Q_OBJECT

public:
    explicit TreeView(QWidget* parent = nullptr);

    QTreeWidgetItem* selectedItem() const;

Q_SIGNALS:
    void click();
    void keyPress(int keyCode);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace kuranote
