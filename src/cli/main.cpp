// qf: the command-line front end of Quillfind. It fills the search keys of
// the settings from the configuration file and the options, runs one search
// through the engine's worker and waits for it, writing the result text to
// stdout through its own message sink.
#include <cstdio>
#include <memory>
#include <string>

#include "cli/qf_options.h"
#include "cli/qf_sink.h"
#include "cli/qf_terminal.h"
#include "config/app_settings.h"
#include "config/ini.h"
#include "index/wk_del.h"
#include "platform/file_system.h"
#include "search/indexed_search.h"
#include "search/search_request.h"
#include "search/search_run.h"
#include "search/worker.h"
#include "support/event.h"
#include "support/message_service.h"
#include "support/path_utils.h"
#include "support/run_context.h"
#include "support/source_position.h"
#include "support/stop_flag.h"
#include "support/thread.h"
#include "text/memory_stream.h"
#include "text/stream_position.h"

namespace {

constexpr int kExitFound = 0;
constexpr int kExitNothingFound = 1;
constexpr int kExitUsage = 2;

int usageError(const std::string& message) {
    std::fprintf(stderr, "qf: %s\nTry 'qf --help' for more information.\n", message.c_str());
    return kExitUsage;
}

// Reads the configuration file unless told not to; false when a file named
// with --cf cannot be read.
bool loadSettings(const QfOptions& options, AppSettings& settings) {
    if (options.noConfig) return true;
    settings.configPath =
        options.configPath ? utf8ToSjis(*options.configPath) : defaultConfigPath();
    if (pathKind(settings.configPath.view()) != kPathFile) {
        if (!options.configPath) return true;  // no configuration yet: the defaults
        report(kMsgCommandLine, "cannot read the configuration file %s",
               settings.configPath.c_str());
        return false;
    }
    return settings.load();
}

// Applies "key=value" lines in configuration-file syntax; false when any of
// them was in error.
bool applySettingLines(const std::vector<std::string>& lines, const char* origin,
                       AppSettings& settings) {
    if (lines.empty()) return true;
    LStr text;
    for (const std::string& line : lines) text.append(utf8ToSjis(line).view()).append("\r\n");
    const int errorsBefore = errorCount();
    LMemSrm in(text);
    LIni ini;
    settings.registerKeys(ini);
    {
        PositionScope position(std::make_unique<LSrmPos>(in, origin));
        ini.read(in);
    }
    return errorCount() == errorsBefore;
}

void fillSearchKeys(const QfOptions& options, AppSettings& settings) {
    settings.schStr = utf8ToSjis(options.searchString);
    LStr folders;
    for (const std::string& folder : options.folders) {
        LStr sjisFolder = utf8ToSjis(folder);
        // The search passes over a missing folder in silence; say so here.
        if (pathKind(sjisFolder.view()) != kPathFolder)
            report(kMsgWarning, "no such folder: %s", sjisFolder.c_str());
        if (!folders.empty()) folders.append(';');
        folders.append(sjisFolder.view());
    }
    settings.schDir = std::move(folders);
    if (settings.schFile.empty()) settings.schFile = "*.txt";
}

// Runs the search and waits for its end; returns the hit count, or -1 when
// the search string was refused (its message is out).
int32_t runSearch(const AppSettings& settings, const std::shared_ptr<RunContext>& context) {
    LEvent ended;
    SearchSummary result;
    SearchRequest request = makeSearchRequest(settings);
    // Like grep, a defective pattern is an error rather than a guess.
    request.refuseDefect = true;
    const StartOutcome outcome = startSearch(request, context, [&](const SearchSummary& summary) {
        result = summary;
        ended.set();
    });
    if (outcome == StartOutcome::Started) ended.wait(-1);
    return outcome == StartOutcome::PatternDefect ? -1 : result.hits;
}

// Cleans the index folder on this thread: stale data only, or everything.
void runIndexDeletion(bool deleteAll, const AppSettings& settings) {
    stopFlag().store(0);
    TWkDel worker(deleteAll, settings.ixfDir.view());
    worker.run();
}

void finish() {
    QfProgressLine::clear();
    LThread::shutdownThreads();
    shutdownMessages();
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    std::optional<QfOptions> parsed = parseQfOptions(argc, argv, error);
    if (!parsed) return usageError(error);
    const QfOptions& options = *parsed;
    switch (options.action) {
        case QfAction::Help:
            std::fputs(kQfUsage, stdout);
            return 0;
        case QfAction::Version:
            std::puts("qf (Quillfind) 0.1");
            return 0;
        case QfAction::DeleteOldIndex:
        case QfAction::DeleteAllIndex:
        case QfAction::Search:
            break;
    }
    const bool searching = options.action == QfAction::Search;
    if (searching && options.searchString.empty()) return usageError("the search string is empty");

    LThread::createMainRecord();
    setMessageLanguage('J');
    const bool color = options.color == ColorMode::Always ||
                       (options.color == ColorMode::Auto && stdoutIsTerminal());
    // One context for everything qf does; on this thread it also routes the
    // messages of the settings files and the interrupt to the run's flag.
    auto context = std::make_shared<RunContext>();
    context->setMessageSink(std::make_shared<QfSink>(options.raw, color));
    if (!options.quiet && stderrIsTerminal())
        context->setStatusSink(std::make_shared<QfProgressLine>());
    RunContextScope contextScope(context);

    AppSettings settings;
    if (!loadSettings(options, settings)) return kExitUsage;
    if (!applySettingLines(options.sets, "--set", settings) ||
        !applySettingLines(options.keyOptions, "option", settings))
        return kExitUsage;
    // The same checks as at the desktop program's start (a search type out
    // of range becomes a normal search); the screen size does not matter.
    settings.startUpChecks(1 << 20, 1 << 20);
    stopSearchOnInterrupt();
    if (!searching) {
        runIndexDeletion(options.action == QfAction::DeleteAllIndex, settings);
        finish();
        return 0;
    }

    fillSearchKeys(options, settings);
    const int32_t hits = runSearch(settings, context);
    finish();
    if (hits < 0) return kExitUsage;
    return hits > 0 ? kExitFound : kExitNothingFound;
}
