#include "programstart.h"

#include "platform/qtoptions.h"
#include "platform/widgets/prompts.h"

#include "itemdata/backupfolder.h"
#include "itemdata/cp932.h"
#include "itemdata/datafolder.h"
#include "itemdata/datafolderlock.h"
#include "itemdata/safesave.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QStandardPaths>

#include <cstdio>

#ifdef Q_OS_WIN
#include <windows.h>

#include <shellapi.h>
#endif

namespace kuranote {

namespace {

void print(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

// The arguments as QCoreApplication would give them, before it exists. Windows passes main() the
// arguments in the ANSI code page, which cannot hold every folder name: ask for the wide ones there.
QStringList programArguments(int argc, char* argv[])
{
    QStringList arguments;
#ifdef Q_OS_WIN
    Q_UNUSED(argc)
    Q_UNUSED(argv)
    int count = 0;
    if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i)
            arguments.append(QString::fromWCharArray(wide[i]));
        LocalFree(wide);
    }
#else
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
#endif
    return arguments;
}

QString userFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

// The data-folder rule, for --help.
QString folderRule()
{
    return QStringLiteral("ファイルを読み書きするフォルダ:\n"
                          "  --folder で指定したフォルダ。\n"
                          "  なければ、kuradata_v2.csv があるときはプログラムのフォルダ。\n"
                          "  なければ %1 (初めての起動でサンプルのファイルを置きます)。")
        .arg(QDir::toNativeSeparators(userFolder()));
}

// An option the parser did not know, as the user typed it: the parser names it without its dashes.
QString typedOption(const QStringList& arguments, const QString& name)
{
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--"))
            break;
        if (optionName(argument) == name)
            return argument;
    }
    return name;
}

} // namespace

void nameProgram()
{
    QCoreApplication::setApplicationName(QStringLiteral("kuranote"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KURANOTE_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("kuranote"));
}

CommandLine readCommandLine(int argc, char* argv[], const QString& programName, const QString& description,
    const PositionalArgument& positional)
{
    const QCommandLineOption help(
        { QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("この説明を表示します。"));
    const QCommandLineOption version(
        { QStringLiteral("v"), QStringLiteral("version") }, QStringLiteral("バージョンを表示します。"));
    const QCommandLineOption folder(
        QStringLiteral("folder"), QStringLiteral("ファイルを読み書きするフォルダ。"), QStringLiteral("DIR"));
    QCommandLineParser parser;
    // "-platfrom" is one mistyped word, not eight letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({ help, version, folder });
    if (!positional.name.isEmpty())
        parser.addPositionalArgument(positional.name, positional.description, u'[' + positional.name + u']');

    const auto ended = [](int exitCode) {
        CommandLine commandLine;
        commandLine.exitCode = exitCode;
        return commandLine;
    };
    const auto refuse = [&](const QString& reason) {
        print(stderr, QStringLiteral("%1: %2\n使い方は「%1 --help」で表示できます。\n").arg(programName, reason));
        return ended(2);
    };
    const QtOptionSplit split = splitQtOptions(programArguments(argc, argv));
    if (!split.error.isEmpty())
        return refuse(QStringLiteral("%1 の値がありません。").arg(split.error));
    if (!parser.parse(split.programArguments)) {
        if (!parser.unknownOptionNames().isEmpty())
            return refuse(QStringLiteral("不明なオプションです: %1")
                              .arg(typedOption(split.programArguments, parser.unknownOptionNames().constFirst())));
        return refuse(parser.errorText());
    }
    QStringList arguments = parser.positionalArguments();
    if (!positional.name.isEmpty() && !arguments.isEmpty())
        arguments.removeFirst();
    if (!arguments.isEmpty())
        return refuse(QStringLiteral("余分な引数です: %1").arg(arguments.join(u' ')));
    if (parser.isSet(folder) && parser.value(folder).isEmpty())
        return refuse(QStringLiteral("--folder のフォルダが空です。"));
    if (parser.isSet(help)) {
        // The usage line names the executable, which only an application object knows; a core one
        // needs no display. The program ends right after it.
        QCoreApplication application(argc, argv);
        parser.setApplicationDescription(description + QStringLiteral("\n\n") + folderRule()
            + QStringLiteral("\n\nQt のオプション (-platform、-style、-reverse など) も使えます。"));
        print(stdout, parser.helpText());
        return ended(0);
    }
    if (parser.isSet(version)) {
        print(stdout, QStringLiteral("%1 %2\n").arg(programName, QCoreApplication::applicationVersion()));
        return ended(0);
    }
    CommandLine commandLine;
    commandLine.folder = parser.value(folder);
    commandLine.argument = parser.positionalArguments().value(0);
    commandLine.qtArguments = split.qtArguments;
    return commandLine;
}

ApplicationArguments::ApplicationArguments(const QStringList& arguments)
{
    for (const QString& argument : arguments)
        m_texts.push_back(argument.toLocal8Bit());
    for (QByteArray& text : m_texts)
        m_pointers.push_back(text.data());
    m_pointers.push_back(nullptr);
    m_count = static_cast<int>(m_texts.size());
}

StartFolder::StartFolder() = default;
StartFolder::StartFolder(StartFolder&&) noexcept = default;
StartFolder::~StartFolder() = default;

StartFolder openDataFolder(const QString& folderOption, Prompts& prompts)
{
    StartFolder start;
    // Without the code page 932 table every Japanese text would show as U+FFFD: stop before any file is read.
    if (const std::optional<QString> failure = Cp932::tableError()) {
        prompts.error(nullptr, *failure);
        start.exitCode = 1;
        return start;
    }
    const QString programFolder = QCoreApplication::applicationDirPath();
    const DataFolderPlaces places { folderOption, programFolder, userFolder(), findSampleFolder(programFolder) };
    if (std::optional<FileError> failure = decideDataFolder(places, &start.folder)) {
        prompts.error(nullptr, failure->message());
        start.exitCode = 1;
        return start;
    }
    start.lock = std::make_unique<DataFolderLock>(start.folder);
    switch (start.lock->tryLock()) {
    case DataFolderLock::Outcome::HeldByAnother:
        prompts.error(nullptr, start.lock->inUseMessage());
        start.lock.reset();
        start.exitCode = 1;
        return start;
    case DataFolderLock::Outcome::CannotLock:
        // The program works as it can there, but a temporary could be another program's save under way.
        start.lock.reset();
        return start;
    case DataFolderLock::Outcome::Taken:
        removeSaveLeftovers(start.folder);
        removeSaveLeftovers(BackupFolder::path(start.folder));
        return start;
    }
    return start;
}

} // namespace kuranote
