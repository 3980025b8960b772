#pragma once

#include "checklist/main_window/form1.h"
#include "checklist/search_window/form2.h"
#include "platform/widgets/clickablelabel.h"
#include "platform/widgets/listview.h"
#include "platform/widgets/treeview.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <array>
#include <memory>

// A window's control by its design name; a missing one ends the test run with that name.
template <typename Control> Control* control(const QObject& window, const QString& name)
{
    auto* found = window.findChild<Control*>(name);
    if (!found)
        qFatal("no control %s in %s", qPrintable(name), window.metaObject()->className());
    return found;
}

// The main window's controls, found by their design names.
struct MainControls
{
    explicit MainControls(const kuranote::Form1& form)
        : Command1(control<QPushButton>(form, QStringLiteral("Command1")))
        , ListView1(control<kuranote::ListView>(form, QStringLiteral("ListView1")))
        , lblname(control<kuranote::ClickableLabel>(form, QStringLiteral("lblname")))
        , lbltown(control<kuranote::ClickableLabel>(form, QStringLiteral("lbltown")))
        , Label1 { control<QLabel>(form, QStringLiteral("Label1_0")),
            control<QLabel>(form, QStringLiteral("Label1_1")) }
        , imgconp(control<QLabel>(form, QStringLiteral("imgconp")))
        , lbl2(control<QLabel>(form, QStringLiteral("lbl2")))
        , lbl1(control<QLabel>(form, QStringLiteral("lbl1")))
        , lbl100(control<QLabel>(form, QStringLiteral("lbl100")))
        , lbl0(control<QLabel>(form, QStringLiteral("lbl0")))
        , Timer1(control<QTimer>(form, QStringLiteral("Timer1")))
        , btnchg(control<QMenu>(form, QStringLiteral("btnchg")))
        , btncolm(control<QMenu>(form, QStringLiteral("btncolm")))
        , btnsave(control<QAction>(form, QStringLiteral("btnsave")))
        , btnend(control<QAction>(form, QStringLiteral("btnend")))
    {
        for (size_t i = 0; i < btnchg1.size(); ++i)
            btnchg1[i] = control<QAction>(form, QStringLiteral("btnchg1_%1").arg(i + 1));
        for (size_t i = 0; i < btncol.size(); ++i)
            btncol[i] = control<QAction>(form, QStringLiteral("btncol_%1").arg(i + 1));
    }

    QPushButton* Command1;
    kuranote::ListView* ListView1;
    kuranote::ClickableLabel* lblname;
    kuranote::ClickableLabel* lbltown;
    std::array<QLabel*, 2> Label1;
    QLabel* imgconp;
    QLabel* lbl2;
    QLabel* lbl1;
    QLabel* lbl100;
    QLabel* lbl0;
    QTimer* Timer1;
    QMenu* btnchg;
    QMenu* btncolm;
    QAction* btnsave;
    QAction* btnend;
    std::array<QAction*, 4> btnchg1 {}; // the design's items 1 to 4: villager v at v - 1
    std::array<QAction*, 2> btncol {}; // the design's items 1 and 2
};

// The search window's controls, found by their design names.
struct SearchControls
{
    explicit SearchControls(const kuranote::Form2& window)
        : txtseek(control<QLineEdit>(window, QStringLiteral("txtseek")))
        , TreeView1(control<kuranote::TreeView>(window, QStringLiteral("TreeView1")))
        , Command2(control<QPushButton>(window, QStringLiteral("Command2")))
        , Command1(control<QPushButton>(window, QStringLiteral("Command1")))
        , Label2 { control<QLabel>(window, QStringLiteral("Label2_0")),
            control<QLabel>(window, QStringLiteral("Label2_1")), control<QLabel>(window, QStringLiteral("Label2_2")) }
    {
    }

    QLineEdit* txtseek;
    kuranote::TreeView* TreeView1;
    QPushButton* Command2;
    QPushButton* Command1;
    std::array<QLabel*, 3> Label2;
};

// A click on the middle of a column title, which must lie inside the list.
inline void clickColumnTitle(kuranote::ListView* list, int column)
{
    QHeaderView* header = list->header();
    const QPoint middle(
        header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, middle);
}

// One tick of a timer, delivered as the event loop delivers it.
inline void tick(QTimer* timer)
{
    QTimerEvent event(timer->timerId());
    QCoreApplication::sendEvent(timer, &event);
}

inline MainControls ui(const kuranote::Form1& form)
{
    return MainControls(form);
}
inline MainControls ui(const kuranote::Form1* form)
{
    return MainControls(*form);
}
inline MainControls ui(const std::unique_ptr<kuranote::Form1>& form)
{
    return MainControls(*form);
}
inline SearchControls ui(const kuranote::Form2* window)
{
    return SearchControls(*window);
}
inline SearchControls ui(const kuranote::Form2& window)
{
    return SearchControls(window);
}
