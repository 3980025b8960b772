#include "updatecommand.h"

#include "catalogueupdate.h"

#include "platform/widgets/prompts.h"

#include <QDir>
#include <QFileInfo>

namespace kuranote {

int runCatalogueUpdate(Prompts& prompts, const QString& folder, const QString& newerPath)
{
    CatalogueUpdate update;
    if (std::optional<FileError> refusal = prepareCatalogueUpdate(folder, newerPath, &update)) {
        prompts.error(nullptr, refusal->message());
        return 1;
    }
    const QString question = updateQuestion(update.summary,
        QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(newerPath).absoluteFilePath())), update.villagerNames);
    // Closing the box is no answer: only Yes writes.
    if (prompts.question(nullptr, question, Prompts::Buttons::YesNoOrClose) != Prompts::Answer::Yes)
        return 1;
    QString backupPath;
    if (std::optional<FileError> failure = writeCatalogueUpdate(folder, update.merged, &backupPath)) {
        prompts.error(nullptr, failure->message());
        return 1;
    }
    prompts.message(nullptr,
        QStringLiteral("新しいカタログにしました。\n今までのカタログは「%1」にコピーしてあります。")
            .arg(QDir::toNativeSeparators(backupPath)));
    return 0;
}

} // namespace kuranote
