#include "form1.h"

#include "checklist/checklistdocument.h"
#include "checklist/search_window/form2.h"
#include "itemdata/settingsfile.h"
#include "platform/twips.h"
#include "platform/widgets/clickablelabel.h"
#include "platform/widgets/filedrops.h"
#include "platform/widgets/japanesefont.h"
#include "platform/widgets/listview.h"
#include "platform/widgets/minimumsize.h"
#include "platform/widgets/widgetcolors.h"

#include <QAction>
#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

namespace kuranote {
namespace {

constexpr double smallestWidth = 4720;
constexpr double smallestHeight = 3600;
constexpr double widthMargin = 375;
constexpr double heightMargin = 1700;
constexpr quint32 barColorA = 0x0000C0;
constexpr quint32 barColorB = 0x0000FF;
constexpr quint32 lightGreen = 0xC0FFC0;
constexpr quint32 white = 0xFFFFFF;
constexpr quint32 darkBlue = 0xC00000;

template <typename Label>
Label* makeLabel(QWidget* parent, const char* name, const QString& caption, QRect geometry, quint32 back)
{
    auto* label = new Label(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    setBackColor(label, colorFromBgr(back));
    return label;
}

} // namespace

Form1::Form1(ChecklistDocument& document, const Form1Services& services, QWidget* parent)
    : QMainWindow(parent)
    , m_document(document)
    , m_prompts(services.prompts)
    , m_savedStates(services.savedStates)
    , m_folders(services.folders)
    , m_files(services.files)
    , m_drops(new FileDrops(this))
{
    setWindowTitle(QStringLiteral("くらノート ver2.1"));
    setWindowIcon(QIcon(QStringLiteral(":/kuranote.png")));
    buildControls();
    buildMenus();
    buildListMenu();
    connectHandlers();
    connectDocument();
    setBackColor(colorFromBgr(0x008000));
    resize(Twips::toPixels(5475), Twips::toPixels(3390) + menuBar()->sizeHint().height());
}

Form1::~Form1() = default;

void Form1::buildControls()
{
    auto* client = new QWidget(this);
    setCentralWidget(client);

    // Created bottom to top, so that the bar fill lies over its track and the picture over the percentage.
    lbl0 = makeLabel<QLabel>(client, "lbl0", {}, Twips::rect(120, 600, 4935, 255), 0x80FF80);
    lbl100 = makeLabel<QLabel>(client, "lbl100", {}, Twips::rect(120, 600, 15, 255), barColorA);

    lbltown = makeLabel<ClickableLabel>(
        client, "lbltown", QStringLiteral("○○○○○○むら"), Twips::rect(0, 0, 1695, 300), 0x004000);
    setForeColor(lbltown, colorFromBgr(lightGreen));
    lbltown->setFont(japaneseFont(9, true));
    lbltown->setToolTip(QStringLiteral("Click to EDIT"));
    // Names are typed by the user: shown as they are, never read as markup.
    lbltown->setTextFormat(Qt::PlainText);

    lblname = makeLabel<ClickableLabel>(
        client, "lblname", unnamedVillager(1), Twips::rect(120, 360, 1515, 300), lightGreen);
    setForeColor(lblname, colorFromBgr(0x0000FF));
    lblname->setFont(japaneseFont(11.25, true));
    lblname->setToolTip(QStringLiteral("Click to EDIT"));
    lblname->setTextFormat(Qt::PlainText);

    Label1[1]
        = makeLabel<QLabel>(client, "Label1_1", QStringLiteral("達成率"), Twips::rect(1800, 120, 735, 180), lightGreen);
    Label1[0]
        = makeLabel<QLabel>(client, "Label1_0", QStringLiteral("Item数"), Twips::rect(3120, 120, 735, 180), lightGreen);

    lbl2 = makeLabel<QLabel>(client, "lbl2", QStringLiteral("100%"), Twips::rect(1800, 360, 1035, 300), white);
    lbl1 = makeLabel<QLabel>(client, "lbl1", QStringLiteral("0000/0000"), Twips::rect(3120, 360, 1395, 300), white);
    for (QLabel* figure : { lbl1, lbl2 }) {
        setForeColor(figure, colorFromBgr(darkBlue));
        figure->setFont(japaneseFont(12, true));
        figure->setAlignment(Qt::AlignCenter);
    }

    imgconp = new QLabel(client);
    imgconp->setObjectName(QStringLiteral("imgconp"));
    imgconp->setGeometry(Twips::rect(2640, 120, 480, 480));
    imgconp->setPixmap(QPixmap(QStringLiteral(":/reward.png")));
    imgconp->setScaledContents(true);

    Command1 = new QPushButton(QStringLiteral("|ﾟｗﾟ|"), client);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(Twips::rect(4560, 240, 615, 375));
    kuranote::setBackColor(Command1, colorFromBgr(0x00FFFF));

    ListView1 = new ListView(m_document.list(), client);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setGeometry(Twips::rect(120, 840, 4935, 2775));

    // Labels take no focus: the list comes first, then the face button.
    setTabOrder(ListView1, Command1);
    ListView1->setFocus();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    Timer1->start();
}

void Form1::buildMenus()
{
    btnchg = menuBar()->addMenu(QStringLiteral("村人の切り替え(&Q)"));
    btnchg->setObjectName(QStringLiteral("btnchg"));
    for (size_t i = 0; i < btnchg1.size(); ++i) {
        QAction* item = btnchg->addAction(unnamedVillager(int(i) + 1));
        item->setObjectName(QStringLiteral("btnchg1_%1").arg(i + 1));
        // Check marks, not an exclusive group's radio dots: the handler sets the one mark itself.
        item->setCheckable(true);
        item->setShortcut(QKeySequence(Qt::Key_F1 + int(i)));
        btnchg1[i] = item;
    }
    checkVillagerItem(1);

    btncolm = menuBar()->addMenu(QStringLiteral("色の設定(&W)"));
    btncolm->setObjectName(QStringLiteral("btncolm"));
    const std::array<QString, 2> colorCaptions { QStringLiteral("名前の色"), QStringLiteral("背景色") };
    for (size_t i = 0; i < btncol.size(); ++i) {
        btncol[i] = btncolm->addAction(colorCaptions[i]);
        btncol[i]->setObjectName(QStringLiteral("btncol_%1").arg(i + 1));
        btncol[i]->setShortcut(QKeySequence(Qt::Key_F5 + int(i)));
    }

    btnsave = menuBar()->addAction(QStringLiteral("セーブ(&S)"));
    btnsave->setObjectName(QStringLiteral("btnsave"));
    btnend = menuBar()->addAction(QStringLiteral("おわる(&Z)"));
    btnend->setObjectName(QStringLiteral("btnend"));
}

void Form1::connectHandlers()
{
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(btnsave, &QAction::triggered, this, &Form1::btnsave_Click);
    connect(btnend, &QAction::triggered, this, &Form1::btnend_Click);
    for (size_t i = 0; i < btnchg1.size(); ++i)
        connect(btnchg1[i], &QAction::triggered, this, [this, i] { btnchg1_Click(int(i) + 1); });
    for (size_t i = 0; i < btncol.size(); ++i)
        connect(btncol[i], &QAction::triggered, this, [this, i] { btncol_Click(int(i) + 1); });
    connect(lblname, &ClickableLabel::clicked, this, &Form1::lblname_Click);
    connect(lbltown, &ClickableLabel::clicked, this, &Form1::lbltown_Click);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(ListView1, &ListView::itemCheck, this, &Form1::ListView1_ItemCheck);
    connect(ListView1, &ListView::keyPress, this, &Form1::ListView1_KeyPress);
    connect(ListView1, &ListView::dblClick, this, &Form1::ListView1_DblClick);
    connect(ListView1, &ListView::columnClick, this, &Form1::ListView1_ColumnClick);
    connect(ListView1, &ListView::customContextMenuRequested, this, &Form1::ListView1_ContextMenu);
    connect(mnuImport, &QAction::triggered, this, &Form1::mnuImport_Click);
    connect(mnuRestore, &QAction::triggered, this, &Form1::mnuRestore_Click);
    m_drops->watch(this);
    connect(m_drops, &FileDrops::dropped, this, &Form1::Form_DragDrop);
    connect(mnuFolder, &QAction::triggered, this, &Form1::mnuFolder_Click);
}

void Form1::connectDocument()
{
    connect(&m_document, &ChecklistDocument::countsChanged, this, &Form1::countper);
    connect(&m_document, &ChecklistDocument::rowTicked, this, &Form1::countper);
    connect(&m_document, &ChecklistDocument::conditionsChanged, this, &Form1::showConditions);
    connect(&m_document, &ChecklistDocument::villageNameChanged, this,
        [this] { lbltown->setText(m_document.settings().townname.text()); });
    connect(&m_document, &ChecklistDocument::villagerNameChanged, this,
        [this](int villager) { lblname->setText(m_document.settings().villagername[size_t(villager)].text()); });
    connect(&m_document, &ChecklistDocument::nameColorChanged, this, &Form1::showNameColor);
}

QColor Form1::BackColor() const
{
    return backColor(centralWidget());
}

void Form1::setBackColor(const QColor& color)
{
    kuranote::setBackColor(centralWidget(), color);
}

void Form1::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void Form1::Form_Resize()
{
    if (isMinimized())
        return;
    const QSizeF outer = springBackToMinimum(this, smallestWidth, smallestHeight);
    const double width = outer.width();
    const double height = outer.height();
    ListView1->resize(Twips::toPixels(width - widthMargin), Twips::toPixels(height - heightMargin));
    lbl0->resize(Twips::toPixels(width - widthMargin), lbl0->height());
    countper();
}

void Form1::Timer1_Timer()
{
    const bool isA = bgrFromColor(backColor(lbl100)) == barColorA;
    kuranote::setBackColor(lbl100, colorFromBgr(isA ? barColorB : barColorA));
}

void Form1::btnend_Click()
{
    close();
}

void Form1::closeEvent(QCloseEvent* event)
{
    event->setAccepted(Form_Unload());
}

} // namespace kuranote
