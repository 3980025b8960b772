#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

class QWidget;

namespace kuranote {

// Takes what is dropped on the windows it watches and hands it on once the drop has returned: a question asked
// inside the drop would hold up the program the files were dragged from. While a dialog or a menu of this program
// is open, at the drop or when it would be handed on, a drop is refused.
class FileDrops final : public QObject
{
    Q_OBJECT

public:
    explicit FileDrops(QObject* parent = nullptr);

    void watch(QWidget* window);

Q_SIGNALS:
    void dropped(const QList<QUrl>& urls);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace kuranote
