// gui_append: streams a real search into the result view, as the desktop
// program does, and measures how long the view takes to hold every line,
// how late a 10 ms timer gets while the text pours in (the event loop's
// worst latency) and the process's peak resident memory.
//
//     gui_append FOLDER SEARCH_STRING
//
// The folder is searched with its subfolders for "*.txt" files, defaults
// otherwise (as `qf --no-config -r`).
#include <QApplication>
#include <QElapsedTimer>
#include <QTextDocument>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <mutex>
#include <string>

#include "app/result_view.h"
#include "app/sjis_qstring.h"
#include "search/search_request.h"
#include "search/search_run.h"
#include "search/worker.h"
#include "support/message_service.h"
#include "support/run_context.h"
#include "support/thread.h"

namespace {

// Result text goes to the view; the line ends are counted on the way, so the
// wait knows how many lines the view must end up with.
class ViewSink : public LMsg {
public:
    explicit ViewSink(ResultView& view) : view_(view) {}

    void output(int number, const char*, const char*, std::string_view text) override {
        if (number != 0) {
            std::fprintf(stderr, "message %d: %.*s\n", number, int(text.size()), text.data());
            return;
        }
        std::lock_guard guard(lock_);
        for (char c : text) {
            if (c == '\n' && afterCr_) {
                afterCr_ = false;
                continue;
            }
            afterCr_ = c == '\r';
            if (c == '\r' || c == '\n') lines_.fetch_add(1, std::memory_order_relaxed);
        }
        view_.appendPending(text);
    }
    long lines() const { return lines_.load(); }

private:
    ResultView& view_;
    std::mutex lock_;
    bool afterCr_ = false;
    std::atomic<long> lines_{0};
};

long peakResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: gui_append FOLDER SEARCH_STRING\n");
        return 2;
    }
    QApplication application(argc, argv);
    LThread::createMainRecord();
    setMessageLanguage('J');

    AppSettings settings;
    settings.startUpChecks(1 << 20, 1 << 20);
    settings.schDir = toSjis(QString::fromUtf8(argv[1]));
    settings.schStr = toSjis(QString::fromUtf8(argv[2]));
    settings.schFile = "*.txt";
    settings.schSubDir = 1;

    ResultView view;
    view.applySettings(settings);
    view.resize(1000, 700);
    view.show();

    auto context = std::make_shared<RunContext>();
    auto sink = std::make_shared<ViewSink>(view);
    context->setMessageSink(sink);
    std::atomic<bool> ended{false};
    QElapsedTimer clock;
    qint64 searchMs = 0;
    clock.start();
    const StartOutcome outcome =
        startSearch(makeSearchRequest(settings), context, [&](const SearchSummary&) {
            searchMs = clock.elapsed();
            ended.store(true);
        });
    if (outcome != StartOutcome::Started) {
        std::fprintf(stderr, "the search did not start\n");
        return 2;
    }

    // A 10 ms timer measures its own lateness and watches for the end.
    constexpr qint64 kProbeMs = 10;
    qint64 worstLateMs = 0;
    qint64 viewMs = 0;
    QElapsedTimer sinceProbe;
    sinceProbe.start();
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        worstLateMs = std::max(worstLateMs, sinceProbe.restart() - kProbeMs);
        if (!ended.load() || view.document()->blockCount() - 1 < sink->lines()) return;
        viewMs = clock.elapsed();
        application.quit();
    });
    probe.start(kProbeMs);
    application.exec();

    std::printf("lines            %ld\n", sink->lines());
    std::printf("search ends      %lld ms\n", static_cast<long long>(searchMs));
    std::printf("view complete    %lld ms\n", static_cast<long long>(viewMs));
    std::printf("worst latency    %lld ms\n", static_cast<long long>(worstLateMs));
    std::printf("process CPU      %ld ms\n", long(std::clock() / (CLOCKS_PER_SEC / 1000)));
    std::printf("peak RSS         %ld KiB\n", peakResidentKiB());
    context->setMessageSink(nullptr);
    LThread::shutdownThreads();
    shutdownMessages();
    return 0;
}
