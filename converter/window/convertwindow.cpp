#include "convertwindow.h"

#include "converter/conversion.h"

#include "platform/twips.h"
#include "platform/widgets/prompts.h"

#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QScreen>

#include <algorithm>

namespace kuranote {

ConvertWindow::ConvertWindow(Prompts& prompts, QString folder, Clock clock, QWidget* parent)
    : QWidget(parent,
        Qt::Tool | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
            | Qt::WindowCloseButtonHint)
    , m_prompts(prompts)
    , m_folder(std::move(folder))
    , m_clock(std::move(clock))
    , Label1(new QLabel(QStringLiteral("コンバート中らしいぞ|ﾟｗﾟ|"), this))
{
    // A tool window keeps the program off the taskbar, but Qt would let the program run on
    // invisibly after its close box; closing it still ends the program.
    setAttribute(Qt::WA_QuitOnClose);
    setWindowTitle(QStringLiteral("こんばーちゃ"));
    QIcon icon(QStringLiteral(":/conv.png"));
    icon.addFile(QStringLiteral(":/conv16.png"));
    setWindowIcon(icon);
    setFixedSize(Twips::toPixels(2460), Twips::toPixels(615));

    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(Twips::rect(240, 240, 1935, 255));
    // Laid out for an interface font with narrower kana than the Linux fallbacks: rather than lose
    // the end of its caption there, the label grows to the right, as far as the window's edge.
    Label1->resize(std::clamp(Label1->sizeHint().width(), Label1->width(), width() - Label1->x()), Label1->height());

    move(screen()->geometry().center() - rect().center());
}

bool ConvertWindow::event(QEvent* event)
{
    const bool handled = QWidget::event(event);
    // The window is activated again whenever the final message closes; the files are converted once.
    if (event->type() == QEvent::WindowActivate && !m_converted) {
        m_converted = true;
        Form_Activate();
    }
    return handled;
}

void ConvertWindow::Form_Activate()
{
    if (std::optional<FileError> failure = convertData(m_folder, m_clock())) {
        m_prompts.error(this, failure->message());
        Q_EMIT finished(1);
        return;
    }
    m_prompts.message(this, QStringLiteral("コンバート終了|ﾟｗﾟ|"));
    Q_EMIT finished(0);
}

} // namespace kuranote
