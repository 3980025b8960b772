#include "filechooser.h"

#include <QFileDialog>

namespace kuranote {

QString DialogFileChooser::chooseFileToOpen(QWidget* parent, const QString& title, const QStringList& filters)
{
    return QFileDialog::getOpenFileName(parent, title, QString(), filters.join(QStringLiteral(";;")));
}

} // namespace kuranote
