#include "checklist/conditionwords.h"

#include "testfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using kuranote::ConditionWord;
using namespace Qt::StringLiterals;

class tst_ConditionWords : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void buildsTree_data();
    void buildsTree();
    void trailByte5C_isNotAChildMark();
    void longChildText_isCutTo9999Characters();
    void load_readsWordFileOfFolder();
    void load_missingOrUnreadableFile_givesOnlyAllItems_data();
    void load_missingOrUnreadableFile_givesOnlyAllItems();
};

static QStringList textsOf(const std::vector<ConditionWord>& nodes)
{
    QStringList texts;
    for (const ConditionWord& node : nodes)
        texts << node.text;
    return texts;
}

static QList<int> parentsOf(const std::vector<ConditionWord>& nodes)
{
    QList<int> parents;
    for (const ConditionWord& node : nodes)
        parents << node.parent;
    return parents;
}

static const QString AllItems = u"全アイテム"_s;

static void addRow(const char* name, const QByteArray& file, const QStringList& texts, const QList<int>& parents)
{
    QTest::newRow(name) << file << texts << parents;
}

void tst_ConditionWords::buildsTree_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<int>>("parents");

    addRow("empty file", QByteArray(), { AllItems }, { -1 });
    addRow("roots and children, one per line", "A\r\n\\A1\r\n\\A2\r\nB\r\n",
        { AllItems, u"A"_s, u"A1"_s, u"A2"_s, u"B"_s }, { -1, -1, 1, 1, -1 });
    addRow("fields on one line", "A,\\A1,\\A2,B", { AllItems, u"A"_s, u"A1"_s, u"A2"_s, u"B"_s }, { -1, -1, 1, 1, -1 });
    addRow("lone line feeds end lines too", "A\n\\A1\nB\n\\B1", { AllItems, u"A"_s, u"A1"_s, u"B"_s, u"B1"_s },
        { -1, -1, 1, -1, 3 });
    addRow("children go to the latest root", "A\r\nB\r\n\\B1\r\n", { AllItems, u"A"_s, u"B"_s, u"B1"_s },
        { -1, -1, -1, 2 });
    addRow("Japanese words", sjis(u"果物\r\n\\りんご\r\n野菜\r\n\\にんじん\r\n\\ｶﾌﾞ"_s),
        { AllItems, u"果物"_s, u"りんご"_s, u"野菜"_s, u"にんじん"_s, u"ｶﾌﾞ"_s }, { -1, -1, 1, -1, 3, 3 });

    addRow("children before the first root are left out", "\\X\r\n\\Y\r\nA\r\n\\A1", { AllItems, u"A"_s, u"A1"_s },
        { -1, -1, 1 });
    addRow("root repeating a root", "A\r\nB\r\nA\r\n", { AllItems, u"A"_s, u"B"_s }, { -1, -1, -1 });
    addRow("repeated root gathers the children after it", "A\r\n\\A1\r\nB\r\nA\r\n\\A2",
        { AllItems, u"A"_s, u"A1"_s, u"B"_s, u"A2"_s }, { -1, -1, 1, -1, 1 });
    addRow("child repeating a root", "A\r\nB\r\n\\A", { AllItems, u"A"_s, u"B"_s }, { -1, -1, -1 });
    addRow("child repeating a child of another root", "A\r\n\\X\r\nB\r\n\\X\r\n\\Y",
        { AllItems, u"A"_s, u"X"_s, u"B"_s, u"Y"_s }, { -1, -1, 1, -1, 3 });
    addRow("child repeating its sibling", "A\r\n\\X\r\n\\X", { AllItems, u"A"_s, u"X"_s }, { -1, -1, 1 });
    addRow("root repeating a child holds no children", "A\r\n\\X\r\nX\r\n\\Y\r\nB\r\n\\B1",
        { AllItems, u"A"_s, u"X"_s, u"B"_s, u"B1"_s }, { -1, -1, 1, -1, 3 });
    addRow("entry all items, children after it left out", sjis(u"A\r\n全アイテム\r\n\\A1\r\nB"_s),
        { AllItems, u"A"_s, u"B"_s }, { -1, -1, -1 });
    addRow("child entry all items", sjis(u"A\r\n\\全アイテム\r\n\\A1"_s), { AllItems, u"A"_s, u"A1"_s }, { -1, -1, 1 });
    addRow("texts differing in case or width are different", sjis(u"a\r\nA\r\nＡ\r\n\\ａ"_s),
        { AllItems, u"a"_s, u"A"_s, u"Ａ"_s, u"ａ"_s }, { -1, -1, -1, -1, 3 });

    addRow("blank lines are left out and keep the parent", "\r\nA\r\n\r\n\\A1\r\n   \r\n\\A2\r\n\r\n",
        { AllItems, u"A"_s, u"A1"_s, u"A2"_s }, { -1, -1, 1, 1 });
    addRow(
        "empty fields are left out", "A,,\\A1, ,\"\",\\A2,", { AllItems, u"A"_s, u"A1"_s, u"A2"_s }, { -1, -1, 1, 1 });
    addRow("lone backslash is left out", "A\r\n\\\r\n\\   \r\n\"\\\"\r\n\\A1", { AllItems, u"A"_s, u"A1"_s },
        { -1, -1, 1 });

    addRow("quoted entries keep their commas", "\"A,B\"\r\n\"\\x,y\"\r\n  \"\\z\"",
        { AllItems, u"A,B"_s, u"x,y"_s, u"z"_s }, { -1, -1, 1, 1 });
    addRow("quoted child keeps its blanks", "A\r\n\"\\ b \"", { AllItems, u"A"_s, u" b "_s }, { -1, -1, 1 });
    addRow("blanks around bare entries are dropped", "  A  \r\n \\A1 ", { AllItems, u"A"_s, u"A1"_s }, { -1, -1, 1 });
    addRow(
        "child of a doubled backslash keeps the second", "A\r\n\\\\A1", { AllItems, u"A"_s, u"\\A1"_s }, { -1, -1, 1 });
    addRow("numbers and dates stay text", "007\r\n\\1.50\r\n\\2024/01/02\r\n#TRUE#\r\n\\-0",
        { AllItems, u"007"_s, u"1.50"_s, u"2024/01/02"_s, u"#TRUE#"_s, u"-0"_s }, { -1, -1, 1, 1, -1, 4 });
}

void tst_ConditionWords::buildsTree()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, texts);
    QFETCH(QList<int>, parents);

    const std::vector<ConditionWord> nodes = kuranote::conditionWords(file);
    QCOMPARE(textsOf(nodes), texts);
    QCOMPARE(parentsOf(nodes), parents);
}

void tst_ConditionWords::trailByte5C_isNotAChildMark()
{
    // The second byte of ソ, 表 and 予 is the backslash byte; only a backslash character starts a child.
    QCOMPARE(sjis(u"ソ表予"_s), QByteArray("\x83\x5C\x95\x5C\x97\x5C"));

    const std::vector<ConditionWord> nodes
        = kuranote::conditionWords(sjis(u"果物\r\nソース\r\n\\表\r\n\\ソ\\予\r\n予定\\"_s));
    QCOMPARE(textsOf(nodes), QStringList({ AllItems, u"果物"_s, u"ソース"_s, u"表"_s, u"ソ\\予"_s, u"予定\\"_s }));
    QCOMPARE(parentsOf(nodes), QList<int>({ -1, -1, -1, 2, 2, -1 }));
}

void tst_ConditionWords::longChildText_isCutTo9999Characters()
{
    const QString head = QString(9999, u'あ');
    const QString longText = head + u"いうえおかき"_s; // 10005 characters
    const QByteArray file = sjis(u"長い\r\n\\"_s + longText + u"\r\n\\"_s + head + u"ん\r\n"_s + longText);

    // The second child equals the first once cut; root entries keep their whole text.
    const std::vector<ConditionWord> nodes = kuranote::conditionWords(file);
    QCOMPARE(textsOf(nodes), QStringList({ AllItems, u"長い"_s, head, longText }));
    QCOMPARE(parentsOf(nodes), QList<int>({ -1, -1, 1, -1 }));
}

void tst_ConditionWords::load_readsWordFileOfFolder()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    writeBytes(folder.filePath(u"kuraword.csv"_s), sjis(u"家具\r\n\\いす\r\n服\r\n"_s));

    const std::vector<ConditionWord> nodes = kuranote::loadConditionWords(folder.path());
    QCOMPARE(textsOf(nodes), QStringList({ AllItems, u"家具"_s, u"いす"_s, u"服"_s }));
    QCOMPARE(parentsOf(nodes), QList<int>({ -1, -1, 1, -1 }));
}

void tst_ConditionWords::load_missingOrUnreadableFile_givesOnlyAllItems_data()
{
    QTest::addColumn<bool>("folderInPlaceOfFile");

    QTest::newRow("missing file") << false;
    QTest::newRow("folder named like the file") << true;
}

void tst_ConditionWords::load_missingOrUnreadableFile_givesOnlyAllItems()
{
    QFETCH(bool, folderInPlaceOfFile);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    if (folderInPlaceOfFile)
        QVERIFY(QDir(folder.path()).mkdir(u"kuraword.csv"_s));

    const std::vector<ConditionWord> nodes = kuranote::loadConditionWords(folder.path());
    QCOMPARE(textsOf(nodes), QStringList({ AllItems }));
    QCOMPARE(parentsOf(nodes), QList<int>({ -1 }));
}

QTEST_APPLESS_MAIN(tst_ConditionWords)
#include "tst_conditionwords.moc"
