#include "platform/qtoptions.h"

#include <QTest>

using kuranote::splitQtOptions;
using namespace Qt::StringLiterals;

class tst_QtOptions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void split_data();
    void split();
};

void tst_QtOptions::split_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("program");
    QTest::addColumn<QStringList>("qt");
    QTest::addColumn<QString>("error");

    const QString p = u"prog"_s;
    QTest::newRow("none") << QStringList { p } << QStringList { p } << QStringList { p } << QString();
    QTest::newRow("value apart, before --version")
        << QStringList { p, u"-platform"_s, u"offscreen"_s, u"--version"_s } << QStringList { p, u"--version"_s }
        << QStringList { p, u"-platform"_s, u"offscreen"_s } << QString();
    QTest::newRow("value after '=' becomes its own argument")
        << QStringList { p, u"-platform=windows:darkmode=2"_s } << QStringList { p }
        << QStringList { p, u"-platform"_s, u"windows:darkmode=2"_s } << QString();
    QTest::newRow("two dashes, as Qt reads them")
        << QStringList { p, u"--style"_s, u"Fusion"_s, u"--reverse"_s } << QStringList { p }
        << QStringList { p, u"--style"_s, u"Fusion"_s, u"--reverse"_s } << QString();
    QTest::newRow("a value that looks like an option is still the value")
        << QStringList { p, u"-qwindowtitle"_s, u"--folder"_s } << QStringList { p }
        << QStringList { p, u"-qwindowtitle"_s, u"--folder"_s } << QString();
    QTest::newRow("beside the program's option and argument")
        << QStringList { p, u"-style"_s, u"Fusion"_s, u"NEW.csv"_s, u"-session"_s, u"X"_s, u"--folder"_s, u"d"_s }
        << QStringList { p, u"NEW.csv"_s, u"--folder"_s, u"d"_s }
        << QStringList { p, u"-style"_s, u"Fusion"_s, u"-session"_s, u"X"_s } << QString();
    QTest::newRow("a mistyped option is the program's to refuse")
        << QStringList { p, u"-platfrom"_s, u"offscreen"_s } << QStringList { p, u"-platfrom"_s, u"offscreen"_s }
        << QStringList { p } << QString();
    QTest::newRow("a flag with a value is not Qt's")
        << QStringList { p, u"-reverse=1"_s } << QStringList { p, u"-reverse=1"_s } << QStringList { p } << QString();
    QTest::newRow("a bare name is not an option")
        << QStringList { p, u"style"_s } << QStringList { p, u"style"_s } << QStringList { p } << QString();
    QTest::newRow("after -- everything is the program's")
        << QStringList { p, u"--"_s, u"-style"_s, u"x"_s } << QStringList { p, u"--"_s, u"-style"_s, u"x"_s }
        << QStringList { p } << QString();
    QTest::newRow("missing value named as typed")
        << QStringList { p, u"--version"_s, u"--platform"_s } << QStringList { p, u"--version"_s } << QStringList { p }
        << u"--platform"_s;
}

void tst_QtOptions::split()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, program);
    QFETCH(QStringList, qt);
    QFETCH(QString, error);

    const kuranote::QtOptionSplit split = splitQtOptions(arguments);
    QCOMPARE(split.error, error);
    QCOMPARE(split.programArguments, program);
    QCOMPARE(split.qtArguments, qt);
}

QTEST_APPLESS_MAIN(tst_QtOptions)
#include "tst_qtoptions.moc"
