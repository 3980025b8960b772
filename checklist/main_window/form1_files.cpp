// The main window's start, save and close, and the changes a session left unsaved.
#include "form1.h"

#include "checklist/checklistdocument.h"
#include "checklist/search_window/form2.h"
#include "platform/widgets/clickablelabel.h"
#include "platform/widgets/listview.h"
#include "platform/widgets/outersize.h"
#include "platform/widgets/prompts.h"
#include "platform/widgets/widgetcolors.h"

#include <algorithm>

namespace kuranote {

namespace {

QString cannotMoveRecord()
{
    return QStringLiteral("名前を変えられなかったため、そのまま残してあります。そのため今回は、"
                          "セーブしていない変更を記録できません。");
}

} // namespace

bool Form1::Form_Load()
{
    if (std::optional<FileError> failure = m_document.load()) {
        m_prompts.error(this, failure->message());
        return false;
    }
    offerRecovery();
    const Settings& settings = m_document.settings();
    lbltown->setText(settings.townname.text());
    // The file was refused unless villager 1's colours are numbers. The search window takes the
    // colour from this window when it loads, below.
    setBackColor(colorFromBgr(*parseColorText(settings.bgcolor[1].text())));
    showNameColor();
    Twips::setOuterSize(this, settings.mainWidth, settings.mainHeight);
    ListView1->setColumnWidths(std::vector<double>(settings.columnWidths.begin(), settings.columnWidths.end()));
    loadSearchWindowIfClosed()->show();
    return true;
}

void Form1::offerRecovery()
{
    const RecoveryFinding found = m_document.findRecovery();
    if (found.kind == RecoveryFinding::Kind::SetAside) {
        const QString kept = found.asidePath.isEmpty()
            ? QStringLiteral("このファイルは") + cannotMoveRecord()
            : QStringLiteral("このファイルは次の名前で残してあります。\n%1").arg(found.asidePath);
        m_prompts.message(this,
            QStringLiteral("前回セーブされなかった変更の記録がありますが、復元できません。\n\n%1\n\n%2")
                .arg(found.problem->message(), kept));
        return;
    }
    if (found.kind != RecoveryFinding::Kind::Offered)
        return;
    const QString question = QStringLiteral("前回はセーブされないまま終了しました。そのときの変更が %1 件"
                                            "残っています。\n\n復元しますか？\n"
                                            "（「いいえ」を選ぶと、これらの変更は破棄されます。）")
                                 .arg(found.changes);
    const Prompts::Answer answer = m_prompts.question(this, question, Prompts::Buttons::YesNoOrClose);
    if (answer == Prompts::Answer::No) {
        m_document.discardRecovery();
        return;
    }
    if (answer != Prompts::Answer::Yes) {
        // No answer is no decision: the record stays, under a name of its own, for the user to decide.
        const std::optional<QString> aside = m_document.setRecoveryAside();
        m_prompts.message(this,
            QStringLiteral("前回セーブされなかった変更は復元していません。その記録は%1")
                .arg(aside ? QStringLiteral("次の名前で残してあります。\n%1").arg(*aside) : cannotMoveRecord()));
        return;
    }
    const std::vector<int> renamed = m_document.restoreRecovery();
    // The window shows the restored session as that session showed it after the same edits.
    if (!renamed.empty())
        showVillagerNames();
    if (std::find(renamed.begin(), renamed.end(), m_document.curvillager()) != renamed.end())
        lblname->setText(m_document.settings().villagername[size_t(m_document.curvillager())].text());
}

bool Form1::overwriteChangedFiles(const QStringList& files)
{
    const QString question = QStringLiteral("次のファイルは、読み込んだ後（または前回のセーブの後）に、"
                                            "ほかのプログラムなどで書き換えられています。\n\n%1\n\n"
                                            "上書きしてセーブしますか？\n（「いいえ」を選ぶと、セーブしません。）")
                                 .arg(files.join(QLatin1Char('\n')));
    return m_prompts.question(this, question, Prompts::Buttons::YesNo) == Prompts::Answer::Yes;
}

bool Form1::saveWithoutBackup(const FileError& failure)
{
    const QString question
        = QStringLiteral("セーブの前に、いまのファイルのバックアップを作れませんでした。\n\n%1\n\n"
                         "バックアップなしでセーブしますか？\n（「いいえ」を選ぶと、セーブしません。）")
              .arg(failure.message());
    return m_prompts.question(this, question, Prompts::Buttons::YesNo) == Prompts::Answer::Yes;
}

bool Form1::kurasave()
{
    WindowLayout layout;
    layout.mainWindow = Twips::outerSize(this);
    for (int column = 0; column < listColumnCount; ++column)
        layout.columnWidths[size_t(column)] = float(ListView1->columnWidth(column));
    const SaveResult result = m_document.kurasave(*this, layout);
    if (result.problem)
        m_prompts.error(this, result.problem->message());
    return result.saved;
}

void Form1::btnsave_Click()
{
    if (m_prompts.question(this, QStringLiteral("セーブしますか？"), Prompts::Buttons::OkCancel) == Prompts::Answer::Ok)
        kurasave();
}

bool Form1::Form_Unload()
{
    const Prompts::Answer answer
        = m_prompts.question(this, QStringLiteral("終了前に変更をセーブしますか？"), Prompts::Buttons::YesNoCancel);
    // A save that failed must not end the program: the ticks would be lost without a word.
    if (answer == Prompts::Answer::Cancel || (answer == Prompts::Answer::Yes && !kurasave()))
        return false;
    if (answer == Prompts::Answer::No)
        m_document.discardRecovery();
    // Unloaded whether it shows or not; hiding it first tells the document it no longer shows. A
    // window closed before has told it already.
    if (m_form2) {
        m_form2->hide();
        m_form2.reset();
    }
    return true;
}

} // namespace kuranote
