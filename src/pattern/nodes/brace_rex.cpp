// Group node.
#include "pattern/nodes/brace_rex.h"

#include "support/message_service.h"

LBraceRex::LBraceRex(LRexPtr child, int number, uint32_t flags, std::shared_ptr<LRex> ignore)
    : LRex(flags, std::move(ignore)), child_(std::move(child)), number_(number) {}

bool LBraceRex::next(LRexCursor& c, bool backward) {
    const char* from = c.cur;
    if (!child_->next(c, backward)) return false;
    if (c.hits && number_ >= 0) {
        if (int(c.hits->size()) <= number_) c.hits->resize(number_ + 1);
        LRexHit& h = (*c.hits)[number_];
        h.text = backward ? c.cur : from;
        h.len = int32_t(backward ? from - c.cur : c.cur - from);
        h.name = named_ ? name_.c_str() : nullptr;
    }
    return true;
}

LRexPtr LBraceRex::clone() const {
    auto copy = std::make_unique<LBraceRex>(child_->clone(), number_, flags(), sharedIgnore());
    copy->name_ = name_;
    copy->named_ = named_;
    return copy;
}

void LBraceRex::dump(LStr& out, int indent) const {
    indentTo(out, indent);
    out.append(formatText("brace: %d name='%s'\n", number_, name_.c_str()));
    child_->dump(out, indent + 1);
}
