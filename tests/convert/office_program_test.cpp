// LibreOffice as a converter, played by small scripts: what reaches the
// reader of the produced file, how hanging, crashing and silent runs fail,
// that a stop ends a run at once, and that no scratch file outlives a run.
#include "convert/office_program.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "common/scoped_env.h"
#include "common/temp_dir.h"
#include "support/stop_flag.h"

namespace {

// The script gets LibreOffice's arguments: ... --convert-to T --outdir D input.
constexpr const char* kArguments = R"(
while [ $# -gt 1 ]; do
  case $1 in --convert-to) target=${2%%:*};; --outdir) out=$2;; esac
  shift
done
input=$1
mkdir -p "$out"
)";

std::string readFile(std::string_view path) {
    std::ifstream in{std::string(path)};
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class OfficeProgramTest : public ::testing::Test {
protected:
    OfficeProgramTest() : tmp("TMPDIR", dir.path("tmp").c_str()) {
        std::filesystem::create_directories(dir.path("tmp"));
        dir.write("doc.doc", "binary");
    }
    std::string script(const std::string& body) {
        const std::string path =
            dir.write("soffice", "#!/bin/sh\n" + std::string(kArguments) + body);
        ::chmod(path.c_str(), 0755);
        return path;
    }
    ExtractOutcome convert(OfficeProgram& office, std::string* seen = nullptr) {
        return office.convert(dir.path("doc.doc"), "txt:Text", [&](std::string_view produced) {
            if (seen) *seen = readFile(produced);
            ExtractOutcome outcome;
            outcome.result = ExtractResult::Extracted;
            return outcome;
        });
    }
    size_t scratchEntries() {
        size_t count = 0;
        for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(dir.path("tmp")))
            ++count;
        return count;
    }

    TempDir dir;
    ScopedEnv tmp;
};

TEST_F(OfficeProgramTest, ProducedFileReachesTheReaderAndScratchGoes) {
    std::string seen;
    {
        OfficeProgram office(script("cat \"$input\" > \"$out/document.$target\"\n"), 5000);
        ASSERT_TRUE(office.available());
        EXPECT_EQ(convert(office, &seen).result, ExtractResult::Extracted);
        EXPECT_EQ(scratchEntries(), 1u);  // only the profile stays while the program object lives
    }
    EXPECT_EQ(seen, "binary");
    EXPECT_EQ(scratchEntries(), 0u);
}

TEST_F(OfficeProgramTest, FailedRunsGiveTheirReason) {
    struct Case {
        const char* name;
        const char* body;
        const char* reasonPart;
    } cases[] = {
        {"hangs", "exec sleep 30\n", " 1 "},  // the limit in seconds
        {"crashes", "kill -SEGV $$\n", "11"},
        {"writes nothing", "exit 0\n", "LibreOffice"},
        {"fails", "exit 3\n", "LibreOffice"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OfficeProgram office(script(c.body), 1000);
        const auto start = std::chrono::steady_clock::now();
        const ExtractOutcome outcome = convert(office);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
        EXPECT_EQ(outcome.result, ExtractResult::Failed);
        const std::string reason(outcome.reason.view());
        EXPECT_NE(reason.find(c.reasonPart), std::string::npos) << reason;
    }
}

TEST_F(OfficeProgramTest, StopEndsARunWithoutReason) {
    OfficeProgram office(script("exec sleep 30\n"), 60000);
    stopFlag() = 1;
    const ExtractOutcome outcome = convert(office);
    stopFlag() = 0;
    EXPECT_EQ(outcome.result, ExtractResult::Failed);
    EXPECT_TRUE(outcome.reason.empty());
}

}  // namespace
