// qf: the command-line front end of Quillfind. It fills the search keys of
// the settings from the configuration file and the options, runs one search
// through the engine's worker and waits for it, writing the result text to
// stdout through its own message sink.
#include <memory>
#include <string>

#include "cli/qf_options.h"
#include "cli/qf_output.h"
#include "cli/qf_sink.h"
#include "cli/qf_terminal.h"
#include "cli/utf8_text.h"
#include "config/app_settings.h"
#include "config/setting_readback.h"
#include "index/wk_del.h"
#include "platform/file_system.h"
#include "platform/system_error.h"
#include "search/indexed_search.h"
#include "search/missing_folder.h"
#include "search/search_request.h"
#include "search/search_run.h"
#include "search/worker.h"
#include "support/event.h"
#include "support/message_service.h"
#include "support/path_utils.h"
#include "support/run_context.h"
#include "support/stop_flag.h"
#include "support/thread.h"

namespace {

constexpr int kExitFound = 0;
constexpr int kExitNothingFound = 1;
// A usage error, a missing folder, a file that could not be read, output
// that could not be written: as with grep, even when something was found.
constexpr int kExitError = 2;
constexpr int kExitInterrupted = 130;  // 128 + SIGINT, as a shell counts it

int usageError(const std::string& message) {
    writeErr("qf: " + message + "\nTry 'qf --help' for more information.\n");
    return kExitError;
}

// The exit status once the output is done: a failed write to stdout turns
// any status into 2 with the reason on stderr, and a reader that went away
// ends qf as it would have ended without SIGPIPE ignored.
int exitStatus(int status) {
    switch (outputOutcome()) {
        case WriteOutcome::Written:
            return status;
        case WriteOutcome::ReaderGone:
            endByBrokenPipe();
        case WriteOutcome::Failed:
            break;
    }
    writeErr("qf: write error: " + systemErrorMessage(outputError()) + "\n");
    return kExitError;
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
    LStr text;
    for (const std::string& line : lines) text.append(utf8ToSjis(line).view()).append("\r\n");
    return lines.empty() || settings.loadText(text.view(), origin);
}

// A --set value that reads back otherwise than typed (a "!" escape taken,
// text where a number belongs) is most likely not what was meant.
void warnAboutChangedSets(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        const LStr sjis = utf8ToSjis(line);
        const size_t eq = sjis.view().find('=');
        const std::optional<LStr> held = valueAsRead(sjis.view());
        if (!held || held->view() == sjis.view().substr(eq + 1)) continue;
        report(kMsgWarning, "--set %s: the value reads back as '%s', not as typed",
               LStr(sjis.view().substr(0, eq)).c_str(), held->c_str());
    }
}

void fillSearchKeys(const QfOptions& options, AppSettings& settings) {
    settings.schStr = utf8ToSjis(options.searchString);
    LStr folders;
    for (const std::string& folder : options.folders) {
        LStr sjisFolder = utf8ToSjis(folder);
        reportMissingFolder(sjisFolder.view(), kMsgCommandLine);
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

// The status of a run that came to its end or was stopped: a stop (Ctrl-C)
// outranks an error, which outranks what was found.
int runStatus(int status, bool troubled) {
    if (stopRequested()) return kExitInterrupted;
    return troubled ? kExitError : status;
}

}  // namespace

int main(int argc, char** argv) {
    reserveStandardStreams();
    ignoreBrokenPipe();
    std::string error;
    std::optional<QfOptions> parsed = parseQfOptions(argc, argv, error);
    if (!parsed) return usageError(error);
    const QfOptions& options = *parsed;
    switch (options.action) {
        case QfAction::Help:
            writeOut(kQfUsage);
            return exitStatus(0);
        case QfAction::Version:
            writeOut(std::string("qf (Quillfind) ") + kQfVersion + "\n");
            return exitStatus(0);
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
    const bool escapeRecords = color || (!options.raw && stdoutIsTerminal());
    auto sink = std::make_shared<QfSink>(options.raw, color, escapeRecords);
    context->setMessageSink(sink);
    if (!options.quiet && stderrIsTerminal())
        context->setStatusSink(std::make_shared<QfProgressLine>());
    RunContextScope contextScope(context);

    AppSettings settings;
    if (!loadSettings(options, settings)) return kExitError;
    if (!applySettingLines(options.sets, "--set", settings) ||
        !applySettingLines(options.keyOptions, "option", settings))
        return kExitError;
    warnAboutChangedSets(options.sets);
    // The same checks as at the desktop program's start (a search type out
    // of range becomes a normal search); the screen size does not matter.
    settings.startUpChecks(1 << 20, 1 << 20);
    stopSearchOnInterrupt();
    // Only what goes wrong from here on tells of an incomplete run.
    const int troubleBefore = sink->troubleCount();
    int status = kExitFound;
    if (searching) {
        fillSearchKeys(options, settings);
        const int32_t hits = runSearch(settings, context);
        status = hits < 0 ? kExitError : hits > 0 ? kExitFound : kExitNothingFound;
    } else {
        runIndexDeletion(options.action == QfAction::DeleteAllIndex, settings);
    }
    status = runStatus(status, sink->troubleCount() > troubleBefore);
    finish();
    return exitStatus(status);
}
