#include "form2.h"

#include "checklist/conditionwords.h"
#include "platform/twips.h"
#include "platform/widgets/japanesefont.h"
#include "platform/widgets/minimumsize.h"
#include "platform/widgets/outersize.h"
#include "platform/widgets/treeview.h"
#include "platform/widgets/widgetcolors.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>

namespace kuranote {
namespace {

constexpr double smallestWidth = 2055;
constexpr double smallestHeight = 2995;
const QString unacquired = QStringLiteral("未取得");
const QString nameOrder = QStringLiteral("名前順");
const QString numberOrder = QStringLiteral("No順");

} // namespace

Form2::Form2(QString folder)
    : QWidget(nullptr, Qt::Tool)
    , m_folder(std::move(folder))
{
    setWindowTitle(QStringLiteral("検索"));
    resize(Twips::toPixels(1965), Twips::toPixels(2565));

    txtseek = new QLineEdit(this);
    txtseek->setObjectName(QStringLiteral("txtseek"));
    txtseek->setGeometry(Twips::rect(840, 840, 975, 315));
    txtseek->setFont(japaneseFont(11.25, true));
    QPalette keyPalette = txtseek->palette();
    keyPalette.setColor(QPalette::Base, colorFromBgr(0x80FFFF));
    txtseek->setPalette(keyPalette);

    TreeView1 = new TreeView(this);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setGeometry(Twips::rect(120, 1200, 1695, 1335));

    Command2 = new QPushButton(allItemsKey, this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setGeometry(Twips::rect(840, 0, 1095, 375));
    Command1 = new QPushButton(nameOrder, this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(Twips::rect(840, 360, 1095, 375));

    const std::array<QString, 3> captions { QStringLiteral("取得条件"), QStringLiteral("並び順"),
        QStringLiteral("検索キー") };
    const std::array<double, 3> tops { 120, 480, 960 };
    for (size_t i = 0; i < Label2.size(); ++i) {
        Label2[i] = new QLabel(captions[i], this);
        Label2[i]->setObjectName(QStringLiteral("Label2_%1").arg(i));
        Label2[i]->setGeometry(Twips::rect(120, tops[i], 735, 255));
        Label2[i]->setAlignment(Qt::AlignCenter);
    }

    setTabOrder(txtseek, TreeView1);
    setTabOrder(TreeView1, Command2);
    setTabOrder(Command2, Command1);
    txtseek->setFocus();

    connect(txtseek, &QLineEdit::textChanged, this, &Form2::txtseek_Change);
    connect(TreeView1, &TreeView::click, this, &Form2::TreeView1_Click);
    connect(TreeView1, &TreeView::keyPress, this, &Form2::TreeView1_KeyPress);
    connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
}

void Form2::Form_Load(const QColor& backColor, QSizeF outerSize)
{
    m_loading = true;
    Q_EMIT conditionsLoaded(shownMode(), shownOrder());
    composeTitle();
    setBackColor(backColor);
    Twips::setOuterSize(this, outerSize.width(), outerSize.height());
    treeviewset();
    // Loaded, it counts as showing, also while it stays hidden.
    Q_EMIT shownChanged(true);
    m_loading = false;
}

void Form2::treeviewset()
{
    TreeView1->clear();
    txtseek->setText(allItemsKey);
    std::vector<QTreeWidgetItem*> nodes;
    for (const ConditionWord& word : loadConditionWords(m_folder)) {
        auto* node = new QTreeWidgetItem(QStringList { word.text });
        if (word.parent < 0)
            TreeView1->addTopLevelItem(node);
        else
            nodes[size_t(word.parent)]->addChild(node);
        nodes.push_back(node);
    }
    // Selecting is not choosing: the key stays as it is.
    TreeView1->setCurrentItem(nodes.front());
}

void Form2::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void Form2::Form_Resize()
{
    if (m_loading)
        return;
    const QSizeF outer = springBackToMinimum(this, smallestWidth, smallestHeight);
    const double width = outer.width();
    const double height = outer.height();
    TreeView1->resize(Twips::toPixels(width - 375), Twips::toPixels(height - 1660));
    txtseek->resize(Twips::toPixels(width - 1110), txtseek->height());
    Q_EMIT sizeChanged(qint32(std::lround(width)), qint32(std::lround(height)));
}

void Form2::setVisible(bool visible)
{
    QWidget::setVisible(visible);
    // Also when it was hidden already: a window loaded hidden is hidden again by the face button.
    Q_EMIT shownChanged(visible);
}

void Form2::closeEvent(QCloseEvent* event)
{
    event->accept();
    Q_EMIT shownChanged(false);
    Q_EMIT closed();
}

void Form2::TreeView1_Click()
{
    if (QTreeWidgetItem* node = TreeView1->selectedItem())
        txtseek->setText(node->text(0));
}

void Form2::TreeView1_KeyPress(int keyCode)
{
    if (keyCode == 13 || keyCode == 32)
        TreeView1_Click();
}

void Form2::txtseek_Change()
{
    Q_EMIT keyChanged(txtseek->text());
}

// The buttons go by the caption they show, which is the condition in force.
ShowMode Form2::shownMode() const
{
    return Command2->text() == allItemsKey ? ShowMode::All : ShowMode::Unacquired;
}

SortOrder Form2::shownOrder() const
{
    return Command1->text() == nameOrder ? SortOrder::Name : SortOrder::Number;
}

void Form2::Command2_Click()
{
    Q_EMIT showModeChosen(shownMode() == ShowMode::All ? ShowMode::Unacquired : ShowMode::All);
}

void Form2::Command1_Click()
{
    Q_EMIT sortOrderChosen(shownOrder() == SortOrder::Name ? SortOrder::Number : SortOrder::Name);
}

void Form2::showConditions(const SearchConditions& conditions)
{
    Command2->setText(conditions.showMode == ShowMode::All ? allItemsKey : unacquired);
    Command1->setText(conditions.sortOrder == SortOrder::Name ? nameOrder : numberOrder);
    composeTitle();
}

void Form2::composeTitle()
{
    setWindowTitle(QStringLiteral("検索(%1/%2/%3)").arg(txtseek->text(), Command2->text(), Command1->text()));
}

void Form2::setBackColor(const QColor& color)
{
    kuranote::setBackColor(this, color);
}

QColor Form2::BackColor() const
{
    return backColor(this);
}

} // namespace kuranote
