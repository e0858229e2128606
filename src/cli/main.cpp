// qf: the command-line front end of Quillfind.
#include <cstdio>
#include <cstring>

namespace {

const char kUsage[] =
    "Usage: qf [OPTIONS] SEARCH_STRING FOLDER...\n"
    "Searches Shift-JIS, UTF-8 and UTF-16 text files for a string.\n"
    "\n"
    "  --help     show this text\n";

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    std::fputs(kUsage, stderr);
    return 2;
}
