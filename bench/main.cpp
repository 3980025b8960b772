// Measures how the checklist copes with catalogues far larger than a real one.
// Each figure is the median of several runs; see the README's Performance section.
#include "cataloguegenerator.h"

#include "checklist/checklistdocument.h"
#include "checklist/main_window/form1.h"
#include "checklist/main_window/savedstatechooser.h"
#include "itemdata/backupfolder.h"
#include "itemdata/cataloguemerge.h"
#include "itemdata/clock.h"
#include "itemdata/cp932.h"
#include "itemdata/datafile.h"
#include "itemdata/safesave.h"
#include "platform/widgets/filechooser.h"
#include "platform/widgets/folderopener.h"
#include "platform/widgets/prompts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <unicode/ucnv.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace kuranote;

namespace {

// The floors decode and encode with ICU's general converter for code page 932 (the one Qt's "windows-31j"
// wraps), in one call each: what any program pays to turn the file into text and back.
QString floorDecode(QByteArrayView bytes)
{
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open("windows-31j", &status);
    QString text(bytes.size(), Qt::Uninitialized);
    const int32_t units = ucnv_toUChars(converter, reinterpret_cast<UChar*>(text.data()), int32_t(text.size()),
        bytes.data(), int32_t(bytes.size()), &status);
    ucnv_close(converter);
    text.resize(U_SUCCESS(status) ? units : 0);
    return text;
}

QByteArray floorEncode(const QString& text)
{
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open("windows-31j", &status);
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    const int32_t size = ucnv_fromUChars(converter, bytes.data(), int32_t(bytes.size()),
        reinterpret_cast<const UChar*>(text.utf16()), int32_t(text.size()), &status);
    ucnv_close(converter);
    bytes.resize(U_SUCCESS(status) ? size : 0);
    return bytes;
}

class SilentPrompts final : public Prompts
{
public:
    Answer question(QWidget*, const QString&, Buttons, std::optional<Answer>) override { return Answer::Cancel; }
    void message(QWidget*, const QString&) override { }
    void error(QWidget*, const QString& text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    QString input(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QColor> chooseColor(QWidget*, const QColor&) override { return std::nullopt; }
};

// The benchmark opens neither the list of saves nor a folder.
class NoDesktop final : public SavedStateChooser, public FolderOpener, public FileChooser
{
public:
    QString chooseFileToOpen(QWidget*, const QString&, const QStringList&) override { return {}; }
    std::optional<SavedState> choose(QWidget*, const std::vector<SavedState>&) override { return std::nullopt; }
    bool open(const QString&) override { return false; }
};

// Keeps the compiler from dropping work whose result nothing else reads.
volatile int sink = 0;

struct Figure
{
    QString metric;
    int items;
    double value;
    QString unit;
};

double medianMs(int runs, const std::function<void()>& run)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// "VmHWM:" for the peak resident memory so far, "VmRSS:" for the resident memory now.
double residentMegabytes(const char* field = "VmHWM:")
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

// The child process of the startup measurement: starts the checklist as its main() does and
// reports once the main window is shown with its list filled.
int probeStartup(const QString& folder)
{
    ChecklistDocument document(folder);
    SilentPrompts prompts;
    NoDesktop desktop;
    Form1 form(document, { prompts, desktop, desktop, desktop });
    if (!form.Form_Load())
        return 1;
    form.show();
    QCoreApplication::processEvents();
    std::printf("shown %d %.1f\n", document.list().rowCount(), residentMegabytes());
    std::fflush(stdout);
    return 0;
}

// The child process of the memory breakdown: the resident memory once Qt has started, once the catalogue is
// loaded, and at the peak of ordering the name column, without any window.
int probeMemory(const QString& folder)
{
    const double qt = residentMegabytes("VmRSS:");
    ChecklistDocument document(folder);
    if (document.load())
        return 1;
    const double loaded = residentMegabytes("VmRSS:");
    ItemRowSource source(document);
    ColumnOrders orders;
    sink = int(orders.order(source, 0).size());
    std::printf("memory %.1f %.1f %.1f\n", qt, loaded, residentMegabytes());
    std::fflush(stdout);
    return 0;
}

// Runs this program again with the given arguments, offscreen, and returns the first line it prints.
QList<QByteArray> childLine(const QString& self, const QStringList& arguments)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(environment);
    child.start(self, arguments);
    child.waitForReadyRead(120000);
    const QList<QByteArray> line = child.readAllStandardOutput().trimmed().split(' ');
    child.waitForFinished(120000);
    return line;
}

std::vector<Figure> measure(int items, CatalogueTexts texts, int runs, const QString& self)
{
    std::vector<Figure> figures;
    const auto add = [&](const QString& metric, double value, const QString& unit = QStringLiteral("ms")) {
        figures.push_back({ metric, items, value, unit });
        std::fprintf(stderr, "  %-18s %10.1f %s\n", qPrintable(metric), value, qPrintable(unit));
    };
    QTemporaryDir dir;
    generateCatalogue(dir.path(), items, texts);
    const QString dataPath = dir.filePath(DataFile::fileName);
    std::fprintf(stderr, "%d items (%.1f MB)\n", items, double(QFileInfo(dataPath).size()) / 1e6);

    add(QStringLiteral("load"), medianMs(runs, [&] {
        ItemTable table;
        DataFile::load(dir.path(), &table);
    }));
    add(QStringLiteral("load_floor"), medianMs(runs, [&] {
        QFile file(dataPath);
        file.open(QIODevice::ReadOnly);
        sink = int(floorDecode(file.readAll()).size());
    }));
    // The least that reading the file as text costs here: the bytes in the load's pieces, each decoded with the
    // program's own table (built by the loads above) into one buffer used again. Decoded as one whole text, as
    // load_floor does, the table's speed would vanish behind allocating and first touching some 280 MB. A code
    // cut between two pieces decodes as two units, which a floor can afford.
    add(QStringLiteral("load_floor_table"), medianMs(runs, [&] {
        QFile file(dataPath);
        file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        QByteArray piece(1 << 20, Qt::Uninitialized);
        std::vector<char16_t> text(size_t(piece.size()));
        qsizetype units = 0;
        for (qint64 got; (got = file.read(piece.data(), piece.size())) > 0;)
            units += Cp932::decodeInto(QByteArrayView(piece.data(), got), text.data()).units;
        sink = int(units);
    }));

    ChecklistDocument document(dir.path());
    document.load();
    const ItemTable& table = document.items();

    add(QStringLiteral("first_sort"), medianMs(runs, [&] {
        ItemRowSource source(document);
        ColumnOrders orders;
        orders.order(source, 0);
    }));

    const auto fill = [&](const QString& key, ListColumn sortColumn) {
        document.setSortColumn(sortColumn);
        document.setKey(key);
        return medianMs(runs, [&] { document.pastelist1(); });
    };
    add(QStringLiteral("fill_all"), fill(allItemsKey, ListColumn::Item));
    const double fillKey = fill(keyedWord(), ListColumn::Item);
    add(QStringLiteral("fill_key"), fillKey);
    add(QStringLiteral("fill_key_rows"), document.showcount(), QStringLiteral("rows"));
    add(QStringLiteral("fill_wild"), fill(QStringLiteral("[ほく]?#"), ListColumn::Item));
    // Wildcards at both ends that the markers "(1)" to "(5)" cannot satisfy, so that every text is read through.
    add(QStringLiteral("fill_wild_ends"), fill(QStringLiteral("?し#?"), ListColumn::Item));
    add(QStringLiteral("fill_wild_lists"), fill(QStringLiteral("[!あ-ん]*[0-9][ア-ン]"), ListColumn::Item));
    add(QStringLiteral("fill_adversarial"), fill(QStringLiteral("*a*a*a*a*a*a*a*a*a*b"), ListColumn::Item));
    add(QStringLiteral("fill_number"), fill(allItemsKey, ListColumn::Number));
    add(QStringLiteral("fill_flag"), fill(allItemsKey, ListColumn::OtherVillager1));
    add(QStringLiteral("scan_floor"), medianMs(runs, [&] {
        const QString key = keyedWord();
        int found = 0;
        for (int record = 2; record <= table.count(); ++record)
            found += table.searchText(record).contains(key) ? 1 : 0;
        sink = found;
    }));

    // A save with changes keeps the file it replaces in the backup folder, and the figure includes that, in the
    // order of the checklist's save: written and flushed, kept, renamed, the folder synced, the oldest removed.
    // (The settings file beside it is a few hundred bytes.) The save alone is measured beside it.
    const QStringList catalogue { DataFile::fileName };
    add(QStringLiteral("save"), medianMs(runs, [&] {
        StagedFile staged;
        DataFile::stage(dir.path(), table, &staged);
        QStringList kept;
        keepBackupPair(dir.path(), catalogue, { staged.target() }, systemTime(), &kept);
        staged.commit();
        syncFolder(dir.path());
        removeOldSaveBackups(dir.path(), catalogue, kept);
    }));
    add(QStringLiteral("save_without_backup"), medianMs(runs, [&] { DataFile::save(dir.path(), table); }));
    QString wholeText;
    for (int record = 1; record <= table.count(); ++record) {
        for (int field = 0; field < ItemTable::FieldCount; ++field)
            wholeText += table.text(record, ItemTable::Field(field));
    }
    add(QStringLiteral("save_floor"), medianMs(runs, [&] {
        const QByteArray bytes = floorEncode(wholeText);
        sink = int(bytes.size());
        QFile file(dir.filePath(QStringLiteral("floor.bin")));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    }));
    // What any backup of the catalogue costs: its bytes read and written to another file in one call each.
    add(QStringLiteral("backup_floor"), medianMs(runs, [&] {
        QFile source(dataPath);
        source.open(QIODevice::ReadOnly);
        QFile copy(dir.filePath(QStringLiteral("copy.bin")));
        copy.open(QIODevice::WriteOnly);
        copy.write(source.readAll());
    }));

    std::vector<double> startups;
    double rss = 0;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        const QList<QByteArray> line = childLine(self, { QStringLiteral("--probe-startup"), dir.path() });
        startups.push_back(double(timer.nsecsElapsed()) / 1e6);
        rss = line.size() == 3 ? line[2].toDouble() : 0;
    }
    std::sort(startups.begin(), startups.end());
    add(QStringLiteral("startup"), startups[startups.size() / 2]);
    add(QStringLiteral("rss"), rss, QStringLiteral("MB"));
    add(QStringLiteral("data_file"), double(QFileInfo(dataPath).size()) / (1024.0 * 1024.0), QStringLiteral("MB"));

    const QList<QByteArray> memory = childLine(self, { QStringLiteral("--probe-memory"), dir.path() });
    if (memory.size() == 4) {
        add(QStringLiteral("mem_qt"), memory[1].toDouble(), QStringLiteral("MB"));
        add(QStringLiteral("mem_table"), memory[2].toDouble() - memory[1].toDouble(), QStringLiteral("MB"));
        add(QStringLiteral("mem_first_sort"), memory[3].toDouble() - memory[2].toDouble(), QStringLiteral("MB"));
    }

    // Taking a newer catalogue that still holds every record: each record pairs, and the ticks carry over.
    ItemTable newer;
    DataFile::load(dir.path(), &newer);
    add(QStringLiteral("update_merge"), medianMs(runs, [&] {
        const Pairing pairing = pairRecords(table, newer);
        takeTicks(table, pairing, &newer);
        sink = int(pairing.lost.size());
    }));
    const auto measured = [&](const QString& metric) {
        return std::find_if(figures.begin(), figures.end(), [&](const Figure& f) { return f.metric == metric; })->value;
    };
    add(QStringLiteral("load_and_save"), measured(QStringLiteral("load")) + measured(QStringLiteral("save")));
    return figures;
}

void printTable(const std::vector<Figure>& figures, const std::vector<int>& sizes)
{
    const auto value = [&](const QString& metric, int items) {
        for (const Figure& figure : figures) {
            if (figure.metric == metric && figure.items == items)
                return figure.value;
        }
        return 0.0;
    };
    std::printf("| metric |");
    for (int items : sizes)
        std::printf(" %d |", items);
    std::printf("\n|---|");
    for (size_t i = 0; i < sizes.size(); ++i)
        std::printf("---:|");
    std::printf("\n");
    QStringList metrics;
    for (const Figure& figure : figures) {
        if (!metrics.contains(figure.metric))
            metrics.append(figure.metric);
    }
    for (const QString& metric : metrics) {
        std::printf("| %s |", qPrintable(metric));
        for (int items : sizes)
            std::printf(" %.1f |", value(metric, items));
        std::printf("\n");
    }
    const std::vector<std::pair<QString, QString>> ratios { { QStringLiteral("load"), QStringLiteral("load_floor") },
        { QStringLiteral("load"), QStringLiteral("load_floor_table") },
        { QStringLiteral("startup"), QStringLiteral("load_floor") },
        { QStringLiteral("startup"), QStringLiteral("load_floor_table") },
        { QStringLiteral("fill_key"), QStringLiteral("scan_floor") },
        { QStringLiteral("fill_wild"), QStringLiteral("scan_floor") },
        { QStringLiteral("fill_wild_ends"), QStringLiteral("scan_floor") },
        { QStringLiteral("fill_wild_lists"), QStringLiteral("scan_floor") },
        { QStringLiteral("fill_adversarial"), QStringLiteral("fill_key") },
        { QStringLiteral("save"), QStringLiteral("save_floor") },
        { QStringLiteral("update_merge"), QStringLiteral("load_and_save") },
        { QStringLiteral("rss"), QStringLiteral("data_file") } };
    for (const auto& [metric, floor] : ratios) {
        std::printf("| %s / %s |", qPrintable(metric), qPrintable(floor));
        for (int items : sizes)
            std::printf(" %.2f |", value(metric, items) / value(floor, items));
        std::printf("\n");
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 3 && arguments[1] == u"--probe-startup")
        return probeStartup(arguments[2]);
    if (arguments.size() == 3 && arguments[1] == u"--probe-memory")
        return probeMemory(arguments[2]);

    std::vector<int> sizes { 10000, 100000, 1000000 };
    int runs = 5;
    QString outPath = QStringLiteral("bench-results.tsv");
    CatalogueTexts texts = CatalogueTexts::Typical;
    for (int i = 1; i < arguments.size(); ++i) {
        const bool hasValue = i + 1 < arguments.size();
        if (arguments[i] == u"--short-items") {
            texts = CatalogueTexts::Short;
        } else if (arguments[i] == u"--items" && hasValue) {
            sizes.clear();
            for (const QString& size : arguments[++i].split(QLatin1Char(',')))
                sizes.push_back(size.toInt());
        } else if (arguments[i] == u"--runs" && hasValue) {
            runs = arguments[++i].toInt();
        } else if (arguments[i] == u"--out" && hasValue) {
            outPath = arguments[++i];
        }
    }
    if (arguments.size() >= 4 && arguments[1] == u"--generate") {
        generateCatalogue(arguments[2], arguments[3].toInt(), texts);
        return 0;
    }

    std::vector<Figure> all;
    for (int items : sizes) {
        const std::vector<Figure> figures = measure(items, texts, runs, QCoreApplication::applicationFilePath());
        all.insert(all.end(), figures.begin(), figures.end());
    }

    printTable(all, sizes);
    QFile out(outPath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Text))
        return 1;
    QTextStream tsv(&out);
    for (const Figure& figure : all)
        tsv << figure.metric << '\t' << figure.items << '\t' << figure.value << '\n';
    std::printf("figures written to %s\n", qPrintable(QFileInfo(out).absoluteFilePath()));
    return 0;
}
