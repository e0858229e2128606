// Fuzz target for the pattern engine: the input is split at the first NUL
// into a pattern and a subject. Every pattern must compile, and searching,
// replacing and the analyses must stay inside the text. A step budget
// keeps pathological patterns short.
#include <cstdint>
#include <string_view>

#include "pattern/first_bytes.h"
#include "pattern/parser.h"
#include "pattern/replace.h"
#include "pattern/requirements.h"
#include "pattern/searcher.h"
#include "support/message_service.h"

namespace {
// Messages are expected by the thousand; drop them.
class SilentSink : public LMsg {
public:
    void output(int, const char*, const char*, std::string_view) override {}
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool init = [] {
        installMessageSink(std::make_unique<SilentSink>());
        return true;
    }();
    (void)init;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    size_t cut = input.find('\0');
    std::string_view pattern = input.substr(0, cut);
    std::string subject(cut == std::string_view::npos ? "" : input.substr(cut + 1));
    const uint32_t flags = pattern.empty() ? 0 : uint8_t(pattern[0]) & 7;

    LRexPtr root = compileRex(pattern, flags);
    if (!root) return 0;
    LRexSearcher s(root.get());
    s.setStepLimit(200000);  // pathological backtracking is expected, not a finding
    if (subject.size() > 200) subject.resize(200);
    const SearchRange ranges[] = {
        {}, {.nth = 2}, {.mode = SearchMode::Last}, {.mode = SearchMode::Furthest}};
    for (const SearchRange& range : ranges) {
        int32_t at = s.search(subject, range);
        if (at >= 0 && (s.matchTop() < subject.data() ||
                        s.matchTop() + s.matchLen() > subject.data() + subject.size()))
            __builtin_trap();
    }
    std::string padded = subject + std::string(120, 'x');  // builds the start-byte tables
    s.search(padded);
    s.setTemplate("<\\0\\1>");
    LStr replaced;
    s.replace(subject, replaced);
    patternRequirements(root.get());
    for (int k = 0; k < 3; ++k) buildStartByteTable(*root, k);
    LStr dump;
    root->dump(dump, 0);
    return 0;
}
