#include "savedstatesdialog.h"

#include "savedstatechooser.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kuranote {

namespace {

enum Column { When, Kind, Items, FirstVillager, Note = FirstVillager + villagerCount, ColumnCount };

QString kindText(SavedState::Kind kind)
{
    switch (kind) {
    case SavedState::Kind::Save:
        return QStringLiteral("セーブの前");
    case SavedState::Kind::BeforeUpdate:
        return QStringLiteral("カタログ取り込みの前");
    case SavedState::Kind::BeforeConversion:
        return QStringLiteral("旧ファイル変換の前");
    }
    return {};
}

} // namespace

QString savedStateWhen(const SavedState& state)
{
    const QString when = state.stamp.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    return state.number > 1 ? QStringLiteral("%1 (%2)").arg(when).arg(state.number) : when;
}

SavedStatesDialog::SavedStatesDialog(std::vector<SavedState> states, QWidget* parent)
    : QDialog(parent)
    , m_states(std::move(states))
{
    setWindowTitle(QStringLiteral("以前のセーブに戻す"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("戻したい状態を選んでください。日時は、その状態がセーブ、"
                                                "カタログの取り込み、旧ファイルの変換で置き換えられたときです。"),
        this));

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("savedStates"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    QStringList titles { QStringLiteral("置き換えられた日時"), QStringLiteral("種類"), QStringLiteral("アイテム数") };
    for (int villager = 1; villager <= villagerCount; ++villager)
        titles << QStringLiteral("村人%1").arg(villager);
    titles << QStringLiteral("備考");
    m_list->setHeaderLabels(titles);
    for (const SavedState& state : m_states) {
        auto* row = new QTreeWidgetItem(m_list);
        row->setText(When, savedStateWhen(state));
        row->setText(Kind, kindText(state.kind));
        row->setText(Items, QStringLiteral("読んでいます…"));
    }
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(m_list);

    auto* buttons = new QDialogButtonBox(this);
    m_restore = buttons->addButton(QStringLiteral("戻す"), QDialogButtonBox::AcceptRole);
    m_restore->setObjectName(QStringLiteral("restore"));
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("cancel"));
    m_restore->setDefault(true);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(m_list, &QTreeWidget::currentItemChanged, this, &SavedStatesDialog::updateRestoreButton);

    if (m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
    m_list->setFocus();
    updateRestoreButton();
    resize(720, 360);
    startReading();
}

SavedStatesDialog::~SavedStatesDialog()
{
    m_stopReading = true;
    if (m_reader)
        m_reader->wait();
}

std::optional<SavedState> SavedStatesDialog::chosen() const
{
    QTreeWidgetItem* current = m_list->currentItem();
    if (result() != Accepted || !current || !(current->flags() & Qt::ItemIsEnabled))
        return std::nullopt;
    return m_states[size_t(m_list->indexOfTopLevelItem(current))];
}

void SavedStatesDialog::startReading()
{
    // A catalogue of a million items takes a quarter of a second to read: the dialog is open at once and
    // fills in as each state is read.
    m_reader = QThread::create([this, states = m_states] {
        for (size_t row = 0; row < states.size() && !m_stopReading; ++row) {
            SavedStateContents contents;
            const std::optional<FileError> failure = readSavedState(states[row], &contents);
            // Only the counts go back to the window's thread, never the bytes.
            contents.catalogue.clear();
            contents.settings.clear();
            QMetaObject::invokeMethod(
                this,
                [this, row, contents, failure] {
                    if (failure)
                        showUnreadable(int(row), *failure);
                    else
                        showRead(int(row), contents);
                },
                Qt::QueuedConnection);
        }
    });
    m_reader->setParent(this);
    m_reader->start();
}

void SavedStatesDialog::showRead(int row, const SavedStateContents& contents)
{
    QTreeWidgetItem* item = m_list->topLevelItem(row);
    item->setText(Items, QString::number(contents.items));
    item->setTextAlignment(Items, Qt::AlignRight | Qt::AlignVCenter);
    for (int villager = 1; villager <= villagerCount; ++villager) {
        const int column = FirstVillager + villager - 1;
        item->setText(column, QString::number(contents.ticks[size_t(villager)]));
        item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }
}

void SavedStatesDialog::showUnreadable(int row, const FileError& failure)
{
    QTreeWidgetItem* item = m_list->topLevelItem(row);
    item->setText(Items, QStringLiteral("読めません"));
    const QString reason
        = failure.line > 0 ? QStringLiteral("%1 行目: %2").arg(failure.line).arg(failure.reason) : failure.reason;
    item->setText(Note, QStringLiteral("%1: %2").arg(QFileInfo(failure.filePath).fileName(), reason));
    item->setToolTip(Note, failure.message());
    const bool wasCurrent = m_list->currentItem() == item;
    item->setFlags(item->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable));
    if (wasCurrent) {
        // The keys move to the nearest state that can still be chosen.
        for (int other = 0; other < m_list->topLevelItemCount(); ++other) {
            QTreeWidgetItem* candidate = m_list->topLevelItem((row + other) % m_list->topLevelItemCount());
            if (candidate->flags() & Qt::ItemIsEnabled) {
                m_list->setCurrentItem(candidate);
                break;
            }
        }
    }
    updateRestoreButton();
}

void SavedStatesDialog::updateRestoreButton()
{
    const QTreeWidgetItem* current = m_list->currentItem();
    m_restore->setEnabled(current && (current->flags() & Qt::ItemIsEnabled));
}

std::optional<SavedState> DialogStateChooser::choose(QWidget* parent, const std::vector<SavedState>& states)
{
    SavedStatesDialog dialog(states, parent);
    dialog.exec();
    return dialog.chosen();
}

} // namespace kuranote
