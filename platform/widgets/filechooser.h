#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace kuranote {

// Lets the user choose a file to open, so that tests answer in the dialog's place.
class FileChooser
{
public:
    virtual ~FileChooser() = default;
    // The file chosen, or the empty text when the user closed the chooser. filters as QFileDialog takes them.
    virtual QString chooseFileToOpen(QWidget* parent, const QString& title, const QStringList& filters) = 0;
};

class DialogFileChooser final : public FileChooser
{
public:
    QString chooseFileToOpen(QWidget* parent, const QString& title, const QStringList& filters) override;
};

} // namespace kuranote
