// Measures the two ways of keeping the recovery file at a thousand quick ticks, in the data folder's file system:
// the whole file replaced through a safe save after each tick (the program's way), and one line per tick appended,
// flushed and synced to disk. Then the program's way as it runs: ticks a millisecond apart, gathered by its timer.
//   kuranote_recoverytiming [--ticks N] [--folder DIR]
// DIR is where the files go (a temporary folder under it); by default the system's temporary folder.
#include "cataloguegenerator.h"

#include "checklist/checklistdocument.h"
#include "itemdata/fieldwriter.h"
#include "itemdata/recoveryfile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include <unistd.h>

using namespace kuranote;

namespace {

struct Timings
{
    std::vector<double> ms;

    double total() const
    {
        double sum = 0;
        for (double t : ms)
            sum += t;
        return sum;
    }
    double percentile(double p) const
    {
        std::vector<double> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        return sorted[std::min(sorted.size() - 1, size_t(p * double(sorted.size())))];
    }
};

// Ticks the first n listed rows one after the other, timing what follows each tick.
Timings timeTicks(ChecklistDocument& document, int n, const std::function<void(int row)>& afterTick)
{
    Timings timings;
    for (int row = 0; row < n; ++row) {
        document.toggleRow(row);
        QElapsedTimer timer;
        timer.start();
        afterTick(row);
        timings.ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return timings;
}

void report(const char* way, const Timings& timings, qint64 fileSize)
{
    std::printf("| %s | %zu | %.1f | %.2f | %.2f | %.2f | %lld |\n", way, timings.ms.size(), timings.total(),
        timings.percentile(0.5), timings.percentile(0.99), timings.percentile(1.0), qlonglong(fileSize));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    int ticks = 1000;
    QString base;
    const QStringList arguments = QCoreApplication::arguments();
    for (int i = 1; i + 1 < arguments.size(); i += 2) {
        if (arguments[i] == u"--ticks")
            ticks = arguments[i + 1].toInt();
        else if (arguments[i] == u"--folder")
            base = arguments[i + 1];
    }
    QTemporaryDir dir(base.isEmpty() ? QString() : base + QStringLiteral("/kuranote-recovery-XXXXXX"));
    if (!dir.isValid())
        return 1;
    generateCatalogue(dir.path(), ticks + 10);
    const QString recovery = dir.filePath(RecoveryFile::fileName);

    std::printf("%d ticks of different items, in %s\n\n", ticks, qPrintable(dir.path()));
    std::printf("| way | writes | total ms | median ms | 99th ms | max ms | final file bytes |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|\n");
    {
        ChecklistDocument document(dir.path());
        document.load();
        document.setKey(allItemsKey);
        const Timings timings = timeTicks(document, ticks, [&](int) { document.recordRecovery(); });
        report("safe save of the whole record after each tick", timings, QFileInfo(recovery).size());
        document.discardRecovery();
    }
    {
        ChecklistDocument document(dir.path());
        document.load();
        document.setKey(allItemsKey);
        QFile file(recovery);
        file.open(QIODevice::WriteOnly | QIODevice::Append);
        const Timings timings = timeTicks(document, ticks, [&](int row) {
            const int record = document.list().record(row);
            FieldWriter line;
            line.text("flag");
            line.number(qint64(record));
            line.number(qint64(1));
            line.number(qint64(document.items().flag(record, 1)));
            line.endLine();
            file.write(line.take());
            file.flush();
            ::fdatasync(file.handle());
        });
        report("one line appended, flushed and synced after each tick", timings, file.size());
        file.close();
        QFile::remove(recovery);
    }
    {
        // As the program runs: a tick every millisecond, the timer writing what gathered.
        ChecklistDocument document(dir.path());
        document.load();
        document.setKey(allItemsKey);
        Timings timings;
        QElapsedTimer run;
        run.start();
        for (int row = 0; row < ticks || document.recovery().isPending(); ++row) {
            if (row < ticks)
                document.toggleRow(row);
            QElapsedTimer pause;
            pause.start();
            while (pause.elapsed() < 1) {
                const bool pending = document.recovery().isPending();
                QElapsedTimer step;
                step.start();
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 1);
                if (pending && !document.recovery().isPending())
                    timings.ms.push_back(double(step.nsecsElapsed()) / 1e6);
            }
        }
        report("the program's way: ticks 1 ms apart, written by its timer", timings, QFileInfo(recovery).size());
        std::printf("\nthe %d ticks took %.1f s; the recovery file waits at most %d ms after a change\n", ticks,
            double(run.elapsed()) / 1000, RecoveryRecorder::delayMs);
        document.discardRecovery();
    }
    return 0;
}
