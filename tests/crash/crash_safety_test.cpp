// Files the program writes survive a kill at any moment: crash_writer repeats
// a write, is killed with SIGKILL at points spread over one round, and what
// stands on disk afterwards must be the old or the new file, and the index
// must still give the results of a search without it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "common/capture_sink.h"
#include "common/process_run.h"
#include "common/temp_dir.h"
#include "crash/crash_rounds.h"
#include "index/ix_cache.h"
#include "index/ix_file.h"
#include "index/ix_paths.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kKills = 100;

// crash_writer running with its stdout on a pipe; killed when it goes.
class Writer {
public:
    explicit Writer(std::vector<std::string> args) {
        args.insert(args.begin(), CRASH_WRITER);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        int fds[2];
        if (pipe(fds) != 0) return;
        if ((pid_ = fork()) == 0) {
            dup2(fds[1], 1);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(fds[1]);
        rounds_ = fds[0];
    }
    ~Writer() {
        kill();
        close(rounds_);
    }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    // Waits until the writer has finished n more rounds; false when it ended.
    bool awaitRounds(int n) {
        char done;
        for (; n > 0; --n)
            if (read(rounds_, &done, 1) != 1) return false;
        return true;
    }
    void kill() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = 0;
    }

private:
    pid_t pid_ = 0;
    int rounds_ = -1;
};

// Kills a fresh writer kKills times, each time after its first round and a
// delay that moves across one round (timed over a few rounds of a first
// writer); check() looks at what it left.
template <class Check>
void killAtSpreadPoints(const std::vector<std::string>& args, Check check) {
    constexpr int kTimedRounds = 5;
    Writer timed(args);
    ASSERT_TRUE(timed.awaitRounds(1)) << "the writer did not run";
    const auto start = Clock::now();
    ASSERT_TRUE(timed.awaitRounds(kTimedRounds));
    const Clock::duration round = (Clock::now() - start) / kTimedRounds;
    timed.kill();
    for (int i = 0; i < kKills && !::testing::Test::HasFailure(); ++i) {
        Writer writer(args);
        ASSERT_TRUE(writer.awaitRounds(1)) << "the writer failed";
        std::this_thread::sleep_for(round * (i + 0.5) / kKills);
        writer.kill();
        check(i);
    }
}

// A qf --raw result without its message lines (font 6).
std::string withoutMessages(const QfResult& r) {
    std::string kept;
    for (size_t at = 0, next; at < r.out.size(); at = next) {
        next = r.out.find("\r\n", at);
        next = next == std::string::npos ? r.out.size() : next + 2;
        if (!std::string_view(r.out).substr(at).starts_with("\x01"
                                                            "6 "))
            kept += r.out.substr(at, next - at);
    }
    return kept;
}

}  // namespace

TEST(CrashSafety, KilledSaveLeavesTheOldOrTheNewConfiguration) {
    TempDir dir;
    const std::string path = dir.path("Quillfind.cfg");
    const std::string texts[] = {std::string(settingsVariant(0).configText().view()),
                                 std::string(settingsVariant(1).configText().view())};
    killAtSpreadPoints({"config", path}, [&](int kill) {
        const std::string bytes = dir.read("Quillfind.cfg");
        EXPECT_TRUE(bytes == texts[0] || bytes == texts[1])
            << "kill " << kill << " left " << bytes.size() << " bytes";
    });
    CaptureSink sink;
    AppSettings loaded;
    loaded.configPath = LStr(path);
    ASSERT_TRUE(loaded.load());
    EXPECT_EQ(sink.allText(), "");
    EXPECT_TRUE(loaded.minRate == 80 || loaded.minRate == 90) << loaded.minRate;
}

class IndexCrash : public ::testing::Test {
protected:
    void SetUp() override {
        // Enough text that a round takes a while; one word in a few lines.
        for (int f = 0; f < 30; ++f) {
            std::string text;
            for (int line = 0; line < 300; ++line)
                text += (line % 7 == f % 7 ? "needle" : "hay") + std::string(line % 50, 'x') +
                        " line " + std::to_string(line) + "\n";
            work.write("data/f" + std::to_string(100 + f) + ".txt", text);
        }
        plain = runQf(qfArgs(false));
        ASSERT_EQ(plain.exitCode, 0) << plain.err;
        // The first indexed run makes the index folder with its marker and
        // separator, as a user's first indexed search does.
        ASSERT_EQ(runQf(qfArgs(true)).out, plain.out);
        ixFile = std::string(ixIndexFileOf(ix(), data() + "/f100.txt").view());
        ASSERT_TRUE(fs::exists(ixFile)) << ixFile;
    }

    std::string ix() const { return work.path("ix"); }
    std::string data() const { return work.path("data"); }
    std::vector<std::string> qfArgs(bool indexed) const {
        std::vector<std::string> args = {
            "--raw", "--no-config", "--quiet", "--set", "ixfDir=" + ix() + "/", "needle", data()};
        if (indexed) args.insert(args.begin(), "--index");
        return args;
    }
    // The entries the index file holds; every damage it shows is reported.
    int entriesOnDisk(CaptureSink& sink) const {
        TIxCache cache(ix());
        loadIndexFile(cache, data() + "/f100.txt", ixFile);
        return sink.messages().empty() ? cache.count() : -1;
    }

    TempDir work;
    QfResult plain;
    std::string ixFile;
};

TEST_F(IndexCrash, KilledIndexWriteLeavesAWholeIndexThatSearchesAsWithout) {
    killAtSpreadPoints({"index", ix(), data()}, [&](int kill) {
        CaptureSink sink;
        EXPECT_EQ(entriesOnDisk(sink), 30) << "kill " << kill << ": " << sink.allText();
        EXPECT_EQ(withoutMessages(runQf(qfArgs(true))), plain.out) << "kill " << kill;
    });
}

TEST_F(IndexCrash, IndexWriteOnAFullDiskKeepsTheOldFile) {
    const std::string relative = fs::relative(ixFile, work.path());
    const std::string before = work.read(relative);
    const long limit = long(before.size() / 2);
    const QfResult full =
        runProgram({CRASH_WRITER, "index-full", ix(), data(), std::to_string(limit)});
    EXPECT_EQ(full.exitCode, 0) << "the write was to fail";
    EXPECT_NE(full.err, "") << "the failure is reported";
    EXPECT_EQ(work.read(relative), before);
    for (const auto& e : fs::directory_iterator(fs::path(ixFile).parent_path()))
        EXPECT_FALSE(e.path().string().ends_with(".tmp")) << e.path() << " stays behind";
    EXPECT_EQ(runQf(qfArgs(true)).out, plain.out);
}
