// The list's context menu: the commands the menu bar has no room for.
#include "form1.h"

#include "checklist/checklistdocument.h"
#include "platform/widgets/catalogueupdatequestion.h"
#include "platform/widgets/filechooser.h"
#include "platform/widgets/folderopener.h"
#include "platform/widgets/listview.h"
#include "platform/widgets/prompts.h"
#include "savedstatechooser.h"
#include "savedstatesdialog.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace kuranote {

void Form1::buildListMenu()
{
    mnuList = new QMenu(this);
    mnuList->setObjectName(QStringLiteral("mnuList"));
    mnuImport = mnuList->addAction(QStringLiteral("新しいカタログを取り込む(&N)..."));
    mnuImport->setObjectName(QStringLiteral("mnuImport"));
    mnuRestore = mnuList->addAction(QStringLiteral("以前のセーブに戻す(&B)..."));
    mnuRestore->setObjectName(QStringLiteral("mnuRestore"));
    mnuFolder = mnuList->addAction(QStringLiteral("データのフォルダを開く(&F)"));
    mnuFolder->setObjectName(QStringLiteral("mnuFolder"));

    // The right button and the Menu key reach the list as a context-menu request; Shift+F10 does only on some
    // systems, so it has a shortcut of its own.
    ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* shiftF10 = new QAction(ListView1);
    shiftF10->setObjectName(QStringLiteral("ListView1_ShiftF10"));
    shiftF10->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10));
    shiftF10->setShortcutContext(Qt::WidgetShortcut);
    ListView1->addAction(shiftF10);
    connect(shiftF10, &QAction::triggered, this, [this] {
        const QModelIndex current = ListView1->currentIndex();
        ListView1_ContextMenu(current.isValid() ? ListView1->visualRect(current).center() : QPoint(0, 0));
    });
}

void Form1::ListView1_ContextMenu(const QPoint& position)
{
    // A popup, not a nested event loop: the menu's commands open dialogs of their own.
    mnuList->popup(ListView1->viewport()->mapToGlobal(position));
}

void Form1::mnuFolder_Click()
{
    if (m_folders.open(m_document.folder()))
        return;
    m_prompts.error(this,
        QStringLiteral(
            "データのフォルダを開けませんでした。次のフォルダを、ファイルマネージャーで開いてください。\n\n%1")
            .arg(QDir::toNativeSeparators(QDir(m_document.folder()).absolutePath())));
}

void Form1::mnuRestore_Click()
{
    const std::vector<SavedState> states = listSavedStates(m_document.folder());
    if (states.empty()) {
        m_prompts.message(this,
            QStringLiteral("戻せる以前のセーブはまだありません。変更をセーブすると、置き換えられた前の状態が"
                           "バックアップとして残ります。"));
        return;
    }
    if (const std::optional<SavedState> chosen = m_savedStates.choose(this, states))
        goBackTo(*chosen);
}

void Form1::goBackTo(const SavedState& state)
{
    // Read and checked before anything else is done: a save below may rotate the very files away.
    SavedStateContents contents;
    if (std::optional<FileError> failure = readSavedState(state, &contents)) {
        m_prompts.error(this, QStringLiteral("この状態は読めないため、戻せません。\n\n%1").arg(failure->message()));
        return;
    }
    // Going back would make such a record useless, as an update would.
    if (std::optional<FileError> refusal = m_document.recoveryKeptAsideThatFits()) {
        m_prompts.error(this, refusal->message());
        return;
    }
    QString question = QStringLiteral("%1 に置き換えられた状態に戻しますか？\n\n"
                                      "いまのファイルはバックアップに残るので、同じ一覧からまた戻せます。")
                           .arg(savedStateWhen(state));
    if (m_document.isModified())
        question += QStringLiteral("\nセーブしていない変更は、先にセーブしてバックアップに残します。");
    if (m_prompts.question(this, question, Prompts::Buttons::YesNo) != Prompts::Answer::Yes)
        return;
    if (m_document.isModified() && !kurasave())
        return;
    const SaveResult result = m_document.goBackTo(contents);
    if (!result.saved) {
        m_prompts.error(this, QStringLiteral("以前のセーブに戻せませんでした。\n\n%1").arg(result.problem->message()));
        return;
    }
    if (result.problem)
        m_prompts.error(this, result.problem->message());
    showReloadedFiles();
}

void Form1::showReloadedFiles()
{
    showVillagerNames();
    showBackColor();
}

void Form1::mnuImport_Click()
{
    const QString path = m_files.chooseFileToOpen(this, QStringLiteral("新しいカタログを取り込む"),
        { QStringLiteral("カタログ (*.csv)"), QStringLiteral("すべてのファイル (*)") });
    if (!path.isEmpty())
        takeInCatalogue(path);
}

void Form1::Form_DragDrop(const QList<QUrl>& urls)
{
    const QString path = urls.size() == 1 && urls.front().isLocalFile() ? urls.front().toLocalFile() : QString();
    const QFileInfo file(path);
    if (path.isEmpty() || !file.isFile() || file.suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) != 0) {
        m_prompts.message(this,
            QStringLiteral("取り込めるのは、カタログのファイル（.csv）一つだけです。"
                           "新しいカタログのファイルを一つだけドロップしてください。"));
        return;
    }
    takeInCatalogue(path);
}

void Form1::takeInCatalogue(const QString& path)
{
    // The update reads the files as saved: no answer may drop a tick.
    if (m_document.isModified()) {
        if (m_prompts.question(
                this, QStringLiteral("取り込む前に変更をセーブします。よろしいですか？"), Prompts::Buttons::YesCancel)
            != Prompts::Answer::Yes)
            return;
        if (!kurasave())
            return;
    }
    if (!updateCatalogue(m_prompts, this, m_document.folder(), path, m_document.clock()))
        return;
    if (std::optional<FileError> failure = m_document.reload()) {
        m_prompts.error(this, failure->message());
        return;
    }
    showReloadedFiles();
}

} // namespace kuranote
