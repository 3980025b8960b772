#!/usr/bin/env python3
"""Write the bundled sample files: kuradata_v2.csv, kurasize.dat and kuraword.csv.

The sample catalogue is the hand-made goods of the workshops of Hoshikusa village.
Everything here is invented. The output is deterministic: run it again and the files come out byte for byte the same.

Usage: python3 make_sample.py [output folder]   (default: the folder of this script)
"""

import random
import sys
from pathlib import Path

ENCODING = "cp932"
EOL = "\r\n"
CURRENCY = "つぶ"

# Series shared by the workshops: (name, reading, price factor).
SERIES = [
    ("こもれび", "こもれび", 1.0),
    ("しずく", "しずく", 1.2),
    ("あかね", "あかね", 1.1),
    ("白樺", "しらかば", 1.5),
    ("よぞら", "よぞら", 1.8),
]

# Workshops: (category, two makers, [(base item, reading, base price)]).
WORKSHOPS = [
    ("家具", ("カンナ工房", "ギイチ工房"), [
        ("椅子", "いす", 800), ("丸椅子", "まるいす", 600), ("長椅子", "ながいす", 1400),
        ("机", "つくえ", 1500), ("書き物机", "かきものづくえ", 2200), ("本棚", "ほんだな", 1800),
        ("飾り棚", "かざりだな", 1600), ("ベッド", "べっど", 3000), ("たんす", "たんす", 2600),
        ("踏み台", "ふみだい", 400), ("衣装箱", "いしょうばこ", 1200),
    ]),
    ("器", ("ツチノ工房", "ヤキ婆工房"), [
        ("湯のみ", "ゆのみ", 300), ("茶わん", "ちゃわん", 350), ("大皿", "おおざら", 900),
        ("花瓶", "かびん", 700), ("土鍋", "どなべ", 1300), ("急須", "きゅうす", 800),
        ("マグ", "まぐ", 400), ("鉢", "はち", 500), ("徳利", "とっくり", 450),
    ]),
    ("灯り", ("ほたる工房", "ロウ爺工房"), [
        ("ランプ", "らんぷ", 1100), ("行灯", "あんどん", 1300), ("燭台", "しょくだい", 900),
        ("吊りランプ", "つりらんぷ", 1500), ("ランタン", "らんたん", 1000), ("灯籠", "とうろう", 2400),
    ]),
    ("布もの", ("イトハ工房", "マルタ工房"), [
        ("クッション", "くっしょん", 500), ("敷物", "しきもの", 1200), ("のれん", "のれん", 700),
        ("壁掛け", "かべかけ", 900), ("テーブルクロス", "てーぶるくろす", 800), ("座布団", "ざぶとん", 450),
    ]),
    ("庭", ("ネモ工房", "マルタ工房"), [
        ("鉢植え", "はちうえ", 600), ("植木鉢", "うえきばち", 350), ("じょうろ", "じょうろ", 300),
        ("花壇", "かだん", 2000), ("巣箱", "すばこ", 700), ("垣根", "かきね", 1100),
    ]),
]

# One-of-a-kind pieces: name, category, series, giver or seller, price, note, extra search words.
SPECIALS = [
    ("ほしくさ村の旗", "", "", "村長のオモト", "非売品", "村ができた日に もらえる", "むらのはた"),
    ("豆皿 No.1", "器", "豆皿めぐり", "ツチノ工房", "150つぶ", "梅の絵", "まめざら"),
    ("豆皿 No.2", "器", "豆皿めぐり", "ツチノ工房", "150つぶ", "桜の絵", "まめざら"),
    ("豆皿 No.3", "器", "豆皿めぐり", "ツチノ工房", "150つぶ", "藤の絵", "まめざら"),
    ("豆皿 No.4", "器", "豆皿めぐり", "ツチノ工房", "150つぶ", "菊の絵", ""),
    ("豆皿 No.5", "器", "豆皿めぐり", "ツチノ工房", "200つぶ", "5枚そろうと箱が付く", ""),
    ("ランプ No.7", "灯り", "", "ほたる工房", "非売品", "星まつりの景品", ""),
    ("Bench-02", "家具", "", "カンナ工房", "2,400つぶ", "外に置ける", "べんち"),
    ("Mug S", "器", "", "ピッコ", "280つぶ", "", "まぐ"),
    ("Mug L", "器", "", "ピッコ", "380つぶ", "", "まぐ"),
    ("ソファ", "家具", "", "ギイチ工房", "4,200つぶ", "重い, 2人で運ぶ", "そふぁ"),
    ("ソファベッド", "家具", "", "ギイチ工房", "5,800つぶ", "", "そふぁべっど"),
    ("ふくろう時計", "家具", "", "ロウ爺工房", "3,300つぶ", "毎時 ホウと鳴く", "ふくろうどけい"),
    ("オルゴール 12曲", "家具", "", "Nina", "非売品", "手紙と一緒に届く", "おるごーる"),
    ("星見の望遠鏡", "", "", "Nina", "非売品", "手紙と一緒に届く", "ほしみのぼうえんきょう"),
    ("かえるの置物", "庭", "", "ネモ工房", "480つぶ", "", "かえるのおきもの"),
    ("ミニ盆栽 3号", "庭", "盆栽", "ロウ爺工房", "5,000つぶ", "水やり, 週に1回", "ぼんさい"),
    ("ミニ盆栽 5号", "庭", "盆栽", "ロウ爺工房", "8,000つぶ", "限定 (冬の市のみ)", "ぼんさい"),
    ("風見どり", "庭", "", "マルタ工房", "1,900つぶ", "風の強い日は よく回る", "かざみどり"),
    ("貝がらの風鈴", "庭", "", "ピッコ", "貝がら 3個と交換", "", "かいがらのふうりん"),
    ("あじさいの鉢植え", "庭", "", "ネモ工房", "900つぶ", "雨の日だけ店に並ぶ", ""),
    ("うずまき燭台", "灯り", "", "ほたる工房", "1,250つぶ", "", ""),
    ("えんがわ座布団", "布もの", "", "イトハ工房", "500つぶ", "2枚組", "えんがわざぶとん"),
    ("おひさま花壇", "庭", "", "ネモ工房", "2,600つぶ", "限定 (夏の市のみ)", ""),
    ("Tile 8x8 あお", "", "", "", "交換のみ", "", "たいる"),
    ("Tile 8x8 しろ", "", "", "", "交換のみ", "", "たいる"),
    ("古い表札", "", "", "", "非売品", "村の 倉庫で見つかる", "ふるいひょうさつ"),
    ("木彫りのくま", "", "", "ピッコ", "1,000つぶ", "", "きぼりのくま"),
    ("藍染めの手ぬぐい", "布もの", "", "イトハ工房", "", "色違い: 藍, 紅, 若草", "あいぞめ てぬぐい"),
    ("どんぐりの帽子掛け", "家具", "", "カンナ工房", "650つぶ", "", "どんぐりのぼうしかけ"),
    ("月見だんごの皿", "器", "", "ヤキ婆工房", "420つぶ", "限定 (秋の市のみ)", "つきみだんごのさら"),
    ("ガラスの浮き玉", "庭", "", "ピッコ", "貝がら 5個と交換", "浜辺で 拾える日もある", "うきだま"),
    ("パッチワークのひざ掛け", "布もの", "", "マルタ工房", "1,350つぶ", "色違い: 空, 森, 夕焼け", ""),
    ("雪うさぎの行灯", "灯り", "", "ほたる工房", "非売品", "限定 (冬の市のみ)", "ゆきうさぎのあんどん"),
    ("手回しの糸車", "布もの", "", "イトハ工房", "6,000つぶ", "", "いとぐるま"),
    ("石臼 2段", "", "", "村長のオモト", "非売品", "村の 倉庫で見つかる", "いしうす"),
]

# Notes for series pieces: any piece may get a common note (mostly none), or one that fits its workshop.
COMMON_NOTES = ["", "", "", "", "", "", "工房まつりの景品", "手紙と一緒に届く", "限定 (秋の市のみ)"]
CATEGORY_NOTES = {
    "家具": ["木目が きれい", "座ると少し きしむ", "組み立て式, 釘なし"],
    "器": ["焼きムラあり, 一点もの", "色違い: 赤, 青, 白", "2個セット"],
    "灯り": ["夜になると ほんのり光る", "油は別売り", "雨の日だけ店に並ぶ"],
    "布もの": ["色違い: 赤, 青, 白", "手洗い, 陰干し", "春の市で 半額"],
    "庭": ["雨の日だけ店に並ぶ", "外に置ける", "春の市で 半額"],
}

# Share of items each villager has acquired; villager 1 plays the most.
ACQUIRED_SHARE = (0.50, 0.30, 0.15, 0.06)

HEADER = ("アイテム名", "セット1", "セット2", "キャラ", "売値", "備考", "検索用")


def price_text(amount):
    return f"{amount:,}{CURRENCY}"


def series_items(rng):
    """Every workshop piece in every series, skipping a regular few so the series are not all complete."""
    items = []
    for category, makers, bases in WORKSHOPS:
        for base_no, (base, base_reading, base_price) in enumerate(bases):
            for series_no, (series, series_reading, factor) in enumerate(SERIES):
                if (base_no * 3 + series_no) % 7 == 6:
                    continue
                reading = f"{series_reading}の{base_reading}"
                seek = reading if rng.random() < 0.5 else ""
                note = rng.choice(COMMON_NOTES + CATEGORY_NOTES[category])
                price = price_text(int(round(base_price * factor, -1)))
                maker = makers[series_no % 2]
                items.append((f"{series}の{base}", category, f"{series}シリーズ", maker, price, note, seek))
    return items


def flags(rng):
    return [1 if rng.random() < share else 0 for share in ACQUIRED_SHARE]


def data_lines():
    rng = random.Random(932)
    items = series_items(rng) + list(SPECIALS)
    rng.shuffle(items)
    lines = [list(HEADER) + [0, 0, 0, 0]]
    for item in items:
        # The village flag is the one piece every villager owns.
        ticks = [1, 1, 1, 1] if item[0] == "ほしくさ村の旗" else flags(rng)
        lines.append(list(item) + ticks)
    return lines


def quoted(text):
    # The file format has no escape for a double quote, so none may appear in a text.
    assert '"' not in text, text
    return f'"{text}"'


def data_file_text():
    records = []
    for record in data_lines():
        texts, numbers = record[:7], record[7:]
        records.append(",".join([quoted(t) for t in texts] + [str(n) for n in numbers]) + EOL)
    return "".join(records)


def bgr(red, green, blue):
    """A colour as the decimal text of 0x00BBGGRR."""
    return str(blue << 16 | green << 8 | red)


# (name, name colour, background colour) of villagers 1 to 4; villager 4 is still unnamed.
VILLAGERS = [
    ("ゆず", bgr(0x2E, 0x5E, 0x1E), bgr(0xDD, 0xF3, 0xD3)),  # dark green on mint
    ("そうた", bgr(0x1C, 0x3C, 0x80), bgr(0xD6, 0xE6, 0xFA)),  # navy on sky blue
    ("Mika", bgr(0x80, 0x24, 0x4A), bgr(0xFB, 0xDF, 0xE8)),  # plum on blossom pink
    ("4th", bgr(0x6A, 0x40, 0x10), bgr(0xFA, 0xEE, 0xC8)),  # brown on cream
]

MAIN_WINDOW_SIZE = (5595, 4800)
SEARCH_WINDOW_SIZE = (2400, 4200)
# Columns: Item, 2, 3, 4, Set1, Set2, Char, Sell, etc, No,
COLUMN_WIDTHS = (1800, 330, 330, 330, 1100, 1100, 1000, 700, 1500, 600)


def settings_file_text():
    values = [quoted("ほしくさ村")]
    for name, name_colour, background in VILLAGERS:
        values += [quoted(name), quoted(name_colour), quoted(background)]
    values += [str(n) for n in MAIN_WINDOW_SIZE + SEARCH_WINDOW_SIZE + COLUMN_WIDTHS]
    return "".join(v + EOL for v in values)


# Roots of the search tree with their child words; a child entry starts with a backslash.
# Two words are patterns: the small plates No.1 to No.3, and the bonsai of any number.
SEARCH_WORDS = [
    ("家具", ["椅子", "机", "棚", "ソファ", "ベッド"]),
    ("器", ["湯のみ", "皿", "花瓶", "マグ", "Mug", "豆皿 No.[1-3]"]),
    ("灯り", ["ランプ", "行灯", "燭台"]),
    ("布もの", ["クッション", "のれん", "座布団"]),
    ("庭", ["鉢植え", "盆栽", "ミニ盆栽 #号", "花壇"]),
    ("シリーズ", [name for name, _, _ in SERIES] + ["豆皿めぐり"]),
    ("工房", ["カンナ", "ギイチ", "ツチノ", "ヤキ婆", "ほたる", "ロウ爺", "イトハ", "マルタ", "ネモ"]),
    ("限定", []),
]


def word_file_text():
    lines = []
    for root, children in SEARCH_WORDS:
        lines.append(quoted(root))
        lines += [quoted("\\" + child) for child in children]
    return "".join(line + EOL for line in lines)


def write(folder, name, text):
    # newline="" keeps the CR LF exactly as composed; strict encoding fails on any character outside cp932.
    with open(folder / name, "w", encoding=ENCODING, errors="strict", newline="") as file:
        file.write(text)


def main():
    folder = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent
    write(folder, "kuradata_v2.csv", data_file_text())
    write(folder, "kurasize.dat", settings_file_text())
    write(folder, "kuraword.csv", word_file_text())


if __name__ == "__main__":
    main()
