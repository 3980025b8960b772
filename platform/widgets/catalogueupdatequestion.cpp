#include "catalogueupdatequestion.h"

#include "prompts.h"

#include "itemdata/catalogueupdate.h"
#include "itemdata/datafile.h"

#include <QDir>

namespace kuranote {
namespace {

QString warning(const CatalogueUpdatePlan& plan)
{
    QStringList doubts;
    if (plan.readsAsUtf8)
        doubts << QStringLiteral("このファイルは UTF-8 で保存されているようです。Shift_JIS "
                                 "として読むので、文字化けしているかもしれません。");
    if (plan.nothingPairs)
        doubts << QStringLiteral("組になるアイテムがひとつもありません。印はすべてなくなります。");
    return QStringLiteral("注意: ") + doubts.join(QString()) + QStringLiteral("\n\n");
}

QString lostItems(const UpdateSummary& summary, const QStringList& villagerNames)
{
    const int lost = int(summary.lost.size()) + summary.lostUnlisted;
    if (lost == 0)
        return QStringLiteral("印のあるアイテムは、すべて新しいカタログにあります。\n");
    QString text = QStringLiteral("\n新しいカタログにない、印のあるアイテム: %1\n").arg(lost);
    for (const UpdateSummary::Lost& item : summary.lost) {
        QStringList who;
        for (int villager = 0; villager < int(item.ticked.size()); ++villager) {
            if (item.ticked[size_t(villager)])
                who.append(villagerNames.value(villager));
        }
        text += QStringLiteral("  %1（%2）\n").arg(item.name, who.join(QStringLiteral("、")));
    }
    if (summary.lostUnlisted > 0)
        text += QStringLiteral("  ほか %1 件\n").arg(summary.lostUnlisted);
    return text + QStringLiteral("これらの印は新しいカタログには残りません。\n");
}

} // namespace

QString catalogueUpdateQuestion(const CatalogueUpdatePlan& plan, const QString& folder)
{
    const UpdateSummary& summary = plan.summary;
    QString text = plan.isDoubtful() ? warning(plan) : QString();
    text += QStringLiteral("「%1」を新しいカタログにします。\n"
                           "取得の印は今のカタログのものだけを、すべての住人の分そのまま引き継ぎ、"
                           "新しく加わるアイテムは印なしで始まります。\n\n"
                           "印を引き継ぐアイテム: %2\n"
                           "新しく加わるアイテム: %3\n")
                .arg(plan.newerPath)
                .arg(summary.carrying)
                .arg(summary.added);
    if (summary.newerTicked > 0) {
        text += QStringLiteral(
            "\n新しいファイルには印のついたアイテムが %1 件ありますが、その印は引き継ぎません。\n"
            "別のパソコンで使っていた自分のカタログのように、そのまま今のカタログにしたいファイルなら、"
            "これは使わずに、くらノートを終了してから、データフォルダ（%2）の %3 と"
            "置き換えてください。\n")
                    .arg(summary.newerTicked)
                    .arg(QDir::toNativeSeparators(folder), DataFile::fileName);
    }
    text += lostItems(summary, plan.villagerNames);
    text += QStringLiteral("\n今のカタログは backup フォルダにコピーしてから書き換えます。よろしいですか？");
    return text;
}

bool updateCatalogue(
    Prompts& prompts, QWidget* parent, const QString& folder, const QString& newerPath, const Clock& clock)
{
    CatalogueUpdatePlan plan;
    if (std::optional<FileError> refusal = CatalogueUpdate::plan(folder, newerPath, &plan)) {
        prompts.error(parent, refusal->message());
        return false;
    }
    // Closing the box is no answer: only Yes writes. A doubtful file gets No as the answer Enter gives.
    const std::optional<Prompts::Answer> defaultButton
        = plan.isDoubtful() ? std::optional(Prompts::Answer::No) : std::nullopt;
    if (prompts.question(parent, catalogueUpdateQuestion(plan, folder), Prompts::Buttons::YesNoOrClose, defaultButton)
        != Prompts::Answer::Yes)
        return false;
    QString backupPath;
    if (std::optional<FileError> failure = CatalogueUpdate::commit(folder, plan, clock(), &backupPath)) {
        prompts.error(parent, failure->message());
        return false;
    }
    prompts.message(parent,
        QStringLiteral("新しいカタログにしました。\n今までのカタログは「%1」にコピーしてあります。")
            .arg(QDir::toNativeSeparators(backupPath)));
    return true;
}

} // namespace kuranote
