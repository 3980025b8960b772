#include "qtoptions.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

namespace kuranote {

namespace {

using namespace Qt::StringLiterals;

// Qt 6's options with a value: QGuiApplication's, QApplication's, QCoreApplication's debugger option, and
// those of the X11 platform plugin (-display, -geometry, -title, -icon, -name, -visual).
const QLatin1StringView valueOptions[] = {
    "platform"_L1,
    "platformpluginpath"_L1,
    "platformtheme"_L1,
    "plugin"_L1,
    "qwindowgeometry"_L1,
    "qwindowicon"_L1,
    "qwindowtitle"_L1,
    "session"_L1,
    "style"_L1,
    "stylesheet"_L1,
    "qmljsdebugger"_L1,
    "display"_L1,
    "geometry"_L1,
    "title"_L1,
    "icon"_L1,
    "name"_L1,
    "visual"_L1,
};

// Qt 6's options without a value.
const QLatin1StringView flagOptions[] = {
    "reverse"_L1,
    "widgetcount"_L1,
    "testability"_L1,
    "nograb"_L1,
    "dograb"_L1,
    "sync"_L1,
};

template <std::size_t count> bool contains(const QLatin1StringView (&names)[count], const QStringView name)
{
    return std::any_of(std::begin(names), std::end(names), [&](QLatin1StringView known) { return name == known; });
}

} // namespace

QStringView optionName(const QString& argument)
{
    // Qt reads "--style" as "-style".
    const qsizetype dashes = argument.startsWith("--"_L1) ? 2 : argument.startsWith(u'-') ? 1 : 0;
    if (dashes == 0)
        return {};
    const qsizetype equals = argument.indexOf(u'=');
    return QStringView(argument).mid(dashes, equals < 0 ? -1 : equals - dashes);
}

QtOptionSplit splitQtOptions(const QStringList& arguments)
{
    QtOptionSplit split;
    if (arguments.isEmpty())
        return split;
    split.programArguments.append(arguments.first());
    split.qtArguments.append(arguments.first());
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == "--"_L1) {
            split.programArguments.append(arguments.mid(i));
            break;
        }
        const QStringView name = optionName(argument);
        const qsizetype equals = argument.indexOf(u'=');
        if (!name.isEmpty() && equals < 0 && contains(flagOptions, name)) {
            split.qtArguments.append(argument);
        } else if (!name.isEmpty() && contains(valueOptions, name)) {
            if (equals >= 0) {
                split.qtArguments.append(argument.left(equals));
                split.qtArguments.append(argument.mid(equals + 1));
            } else if (i + 1 < arguments.size()) {
                split.qtArguments.append(argument);
                split.qtArguments.append(arguments.at(++i));
            } else {
                split.error = argument;
                return split;
            }
        } else {
            split.programArguments.append(argument);
        }
    }
    return split;
}

} // namespace kuranote
