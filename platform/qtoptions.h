#pragma once

#include <QString>
#include <QStringList>

namespace kuranote {

// A command line parted into Qt's own options, which QApplication reads from argv, and the program's own
// arguments, among which the program's parser would take Qt's options for unknown ones.
struct QtOptionSplit
{
    QStringList programArguments; // the program's name, then every argument that is not Qt's
    QStringList qtArguments; // the program's name, then Qt's options, each value an argument of its own
    QString error; // names, as typed, an option of Qt's that lacks its value; empty when none does
};

// Qt's options are those QGuiApplication, QApplication and the X11 platform plugin read, written with one
// dash or two. A value follows as the next argument or after '='; since Qt itself reads '=' only for a
// few, the value becomes an argument of its own. Everything after "--" is the program's.
QtOptionSplit splitQtOptions(const QStringList& arguments);

// An option's name as Qt and the program's parser read it: without its one or two dashes and without an
// "=value"; empty for an argument that is not an option.
QStringView optionName(const QString& argument);

} // namespace kuranote
