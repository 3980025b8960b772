#include "programstart.h"

#include "prompts.h"

#include "itemdata/cp932.h"
#include "itemdata/datafolder.h"

#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>
#include <QStandardPaths>

#include <cstdio>

namespace kuranote {

namespace {

void print(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
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

} // namespace

void nameProgram()
{
    QCoreApplication::setApplicationName(QStringLiteral("kuranote"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KURANOTE_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("kuranote"));
}

StartFolder readCommandLine(const QString& programName, const QString& description, Prompts& prompts)
{
    const QCommandLineOption help(
        { QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("この説明を表示します。"));
    const QCommandLineOption version(
        { QStringLiteral("v"), QStringLiteral("version") }, QStringLiteral("バージョンを表示します。"));
    const QCommandLineOption folder(
        QStringLiteral("folder"), QStringLiteral("ファイルを読み書きするフォルダ。"), QStringLiteral("DIR"));
    QCommandLineParser parser;
    parser.setApplicationDescription(description + QStringLiteral("\n\n") + folderRule());
    parser.addOptions({ help, version, folder });

    const auto refuse = [&](const QString& reason) {
        print(stderr, QStringLiteral("%1: %2\n使い方は「%1 --help」で表示できます。\n").arg(programName, reason));
        return StartFolder { {}, 2 };
    };
    if (!parser.parse(QCoreApplication::arguments()))
        return refuse(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return refuse(QStringLiteral("余分な引数です: %1").arg(parser.positionalArguments().join(u' ')));
    if (parser.isSet(folder) && parser.value(folder).isEmpty())
        return refuse(QStringLiteral("--folder のフォルダが空です。"));
    if (parser.isSet(help)) {
        print(stdout, parser.helpText());
        return { {}, 0 };
    }
    if (parser.isSet(version)) {
        print(stdout, QStringLiteral("%1 %2\n").arg(programName, QCoreApplication::applicationVersion()));
        return { {}, 0 };
    }

    // Without the code page 932 table every Japanese text would show as U+FFFD: stop before any file is read.
    if (const std::optional<QString> failure = Cp932::tableError()) {
        prompts.error(nullptr, *failure);
        return { {}, 1 };
    }
    const QString programFolder = QCoreApplication::applicationDirPath();
    const DataFolderPlaces places { parser.value(folder), programFolder, userFolder(),
        findSampleFolder(programFolder) };
    StartFolder start;
    if (std::optional<FileError> failure = decideDataFolder(places, &start.folder)) {
        prompts.error(nullptr, failure->message());
        start.exitCode = 1;
    }
    return start;
}

} // namespace kuranote
