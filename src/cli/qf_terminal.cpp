#include "cli/qf_terminal.h"

#include "platform/terminal.h"
#include "support/stop_flag.h"

bool stdoutIsTerminal() {
    return isTerminal(StdStream::Out);
}
bool stderrIsTerminal() {
    return isTerminal(StdStream::Err);
}

void stopSearchOnInterrupt() {
    interruptSetsFlag(&stopFlag());
}
