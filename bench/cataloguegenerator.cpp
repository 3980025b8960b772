#include "cataloguegenerator.h"

#include "itemdata/cp932.h"
#include "itemdata/fieldwriter.h"
#include "itemdata/safesave.h"
#include "sizes/checklistsizes.h"

#include <QByteArray>
#include <QFile>
#include <QStringList>

namespace kuranote {
namespace {

// A small generator of our own, so that the same seed gives the same catalogue everywhere.
class Random
{
public:
    explicit Random(quint32 seed)
        : m_state(seed ? seed : 1)
    {
    }
    quint32 next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    int below(int limit) { return int(next() % quint32(limit)); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename List> const auto& pick(const List& list) { return list[below(int(list.size()))]; }

private:
    quint32 m_state;
};

const QStringList kanji { QStringLiteral("木"), QStringLiteral("花"), QStringLiteral("星"), QStringLiteral("月"),
    QStringLiteral("机"), QStringLiteral("椅子"), QStringLiteral("灯"), QStringLiteral("皿"), QStringLiteral("棚"),
    QStringLiteral("庭"), QStringLiteral("石"), QStringLiteral("鉢"), QStringLiteral("布"), QStringLiteral("箱"),
    QStringLiteral("雪"), QStringLiteral("森"), QStringLiteral("湖"), QStringLiteral("風"), QStringLiteral("赤"),
    QStringLiteral("青"), QStringLiteral("白"), QStringLiteral("黒"), QStringLiteral("大"), QStringLiteral("小"),
    QStringLiteral("古"), QStringLiteral("新") };
const QStringList kana { QStringLiteral("ほし"), QStringLiteral("くさ"), QStringLiteral("こもれび"),
    QStringLiteral("しずく"), QStringLiteral("ランプ"), QStringLiteral("マグ"), QStringLiteral("ソファ"),
    QStringLiteral("の"), QStringLiteral("たんす"), QStringLiteral("クッション"), QStringLiteral("ゆのみ"),
    QStringLiteral("ベンチ"), QStringLiteral("かご"), QStringLiteral("テーブル"), QStringLiteral("まど"),
    QStringLiteral("ぼうし") };
const QStringList latin { QStringLiteral("Mug"), QStringLiteral("Tile"), QStringLiteral("Lamp"), QStringLiteral("S"),
    QStringLiteral("L"), QStringLiteral("No."), QStringLiteral("Bench"), QStringLiteral("mini") };
const QStringList sets { QStringLiteral("家具"), QStringLiteral("器"), QStringLiteral("灯り"), QStringLiteral("布もの"),
    QStringLiteral("庭"), QString() };
const QStringList series { QStringLiteral("こもれびシリーズ"), QStringLiteral("しずくシリーズ"),
    QStringLiteral("あかねシリーズ"), QStringLiteral("白樺シリーズ"), QString() };
const QStringList characters { QStringLiteral("カンナ工房"), QStringLiteral("ツチノ工房"), QStringLiteral("ピッコ"),
    QStringLiteral("Nina"), QStringLiteral("村長のオモト"), QStringLiteral("イトハ工房") };
const QStringList notes { QStringLiteral("重い, 2人で運ぶ"), QStringLiteral("色違いあり"), QStringLiteral("季節限定"),
    QStringLiteral(""), QStringLiteral("雨の日に もらえる"), QStringLiteral("交換のみ") };

QString itemName(Random& random, int shortest, int longest)
{
    // Mixing the kinds of text a catalogue holds.
    const int length = shortest + random.below(longest - shortest + 1);
    QString name;
    while (name.size() < length) {
        switch (random.below(4)) {
        case 0:
            name += random.pick(kanji);
            break;
        case 1:
            name += random.pick(kana);
            break;
        case 2:
            name += random.pick(latin);
            break;
        default:
            name += QString::number(random.below(100));
        }
    }
    return name.left(length);
}

QString sellText(Random& random)
{
    return QStringLiteral("%1つぶ").arg(50 * (1 + random.below(80)));
}

QByteArray sjis(const QString& text)
{
    return Cp932::encode(text).value_or(QByteArray());
}

} // namespace

QString keyedWord()
{
    return QStringLiteral("きらり");
}

void generateCatalogue(const QString& folder, int items, CatalogueTexts kind, quint32 seed)
{
    const bool typical = kind == CatalogueTexts::Typical;
    Random random(seed);
    FieldWriter writer(qsizetype(items) * 100);
    const auto record = [&](const QStringList& texts, const std::array<int, villagerCount>& flags) {
        for (const QString& text : texts)
            writer.text(sjis(text));
        for (int flag : flags)
            writer.number(qint64(flag));
        writer.endLine();
    };
    record({ QStringLiteral("アイテム名"), QStringLiteral("セット1"), QStringLiteral("セット2"),
               QStringLiteral("キャラ"), QStringLiteral("売値"), QStringLiteral("備考"), QStringLiteral("検索用") },
        { 0, 0, 0, 0 });
    for (int item = 1; item <= items; ++item) {
        QString seek;
        if (random.chance(50))
            seek = random.pick(kana) + QLatin1Char(' ') + random.pick(kana);
        if (random.chance(1))
            seek += keyedWord();
        std::array<int, villagerCount> flags {};
        for (int& flag : flags)
            flag = random.chance(30) ? 1 : 0;
        // A braced list is evaluated in order, so the same seed gives the same catalogue.
        if (typical) {
            record({ itemName(random, 3, 20), random.pick(sets), random.pick(series), random.pick(characters),
                       sellText(random), random.pick(notes), seek },
                flags);
        } else {
            record({ itemName(random, 2, 4), QString(), QString(), random.pick(characters), sellText(random), QString(),
                       seek },
                flags);
        }
    }
    writeFileSafely(filePathIn(folder, QStringLiteral("kuradata_v2.csv")), writer.take());

    FieldWriter settingsWriter;
    const QStringList texts { QStringLiteral("ベンチ村"), QStringLiteral("1st"), QStringLiteral("255"),
        QStringLiteral("12648384"), QStringLiteral("2nd"), QStringLiteral("0"), QStringLiteral("16777215"),
        QStringLiteral("3rd"), QStringLiteral("0"), QStringLiteral("16777215"), QStringLiteral("4th"),
        QStringLiteral("0"), QStringLiteral("16777215") };
    for (const QString& text : texts) {
        settingsWriter.text(sjis(text));
        settingsWriter.endLine();
    }
    for (double number :
        { 9000.0, 7000.0, 2400.0, 4200.0, 1800.0, 330.0, 330.0, 330.0, 1100.0, 1100.0, 1000.0, 700.0, 1500.0, 600.0 }) {
        settingsWriter.number(number);
        settingsWriter.endLine();
    }
    writeFileSafely(filePathIn(folder, QStringLiteral("kurasize.dat")), settingsWriter.take());

    QByteArray words;
    for (const QString& set : sets) {
        if (set.isEmpty())
            continue;
        words += sjis(set) + "\r\n";
        words += "\\" + sjis(random.pick(kana)) + "\r\n";
    }
    writeFileSafely(filePathIn(folder, QStringLiteral("kuraword.csv")), words);
}

} // namespace kuranote
