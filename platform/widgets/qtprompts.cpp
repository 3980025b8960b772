#include "qtprompts.h"

#include <QColorDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace kuranote {

QtPrompts::QtPrompts(QString title)
    : m_title(std::move(title))
{
}

namespace {

QMessageBox::StandardButton standardButton(Prompts::Answer answer)
{
    switch (answer) {
    case Prompts::Answer::Ok:
        return QMessageBox::Ok;
    case Prompts::Answer::Yes:
        return QMessageBox::Yes;
    case Prompts::Answer::No:
        return QMessageBox::No;
    case Prompts::Answer::Cancel:
        break;
    }
    return QMessageBox::Cancel;
}

} // namespace

Prompts::Answer QtPrompts::question(
    QWidget* parent, const QString& text, Buttons buttons, std::optional<Answer> defaultButton)
{
    QMessageBox::StandardButtons shown = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    if (buttons == Buttons::OkCancel)
        shown = QMessageBox::Ok | QMessageBox::Cancel;
    else if (buttons == Buttons::YesNo || buttons == Buttons::YesNoOrClose)
        shown = QMessageBox::Yes | QMessageBox::No;
    else if (buttons == Buttons::YesCancel)
        shown = QMessageBox::Yes | QMessageBox::Cancel;
    QMessageBox box(QMessageBox::Question, m_title, text, shown, parent);
    box.setTextFormat(Qt::PlainText);
    if (buttons == Buttons::YesNoOrClose) {
        // Escape and the close button press the escape button: a hidden Cancel tells them from No.
        QPushButton* unanswered = box.addButton(QMessageBox::Cancel);
        unanswered->hide();
        box.setEscapeButton(unanswered);
    } else {
        box.setEscapeButton(buttons == Buttons::YesNo ? QMessageBox::No : QMessageBox::Cancel);
    }
    if (defaultButton)
        box.setDefaultButton(standardButton(*defaultButton));
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

void QtPrompts::message(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, m_title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
}

void QtPrompts::error(QWidget* parent, const QString& text)
{
    // Messages quote file paths and file contents: shown as they are, never read as markup.
    QMessageBox box(QMessageBox::Critical, m_title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    // A path in a message is often what the user needs next: it can be copied.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
}

QString QtPrompts::input(QWidget* parent, const QString& prompt, const QString& title, const QString& text)
{
    bool ok = false;
    const QString entered = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, text, &ok);
    return ok ? entered : QString();
}

std::optional<QColor> QtPrompts::chooseColor(QWidget* parent, const QColor& initial)
{
    QColorDialog dialog(initial, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.currentColor();
}

} // namespace kuranote
