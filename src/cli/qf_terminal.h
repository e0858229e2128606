// What qf needs from the terminal: whether a standard stream is one, and
// Ctrl-C turned into a stop request for the running search.
#pragma once

bool stdoutIsTerminal();
bool stderrIsTerminal();
// From now on SIGINT sets the global stop flag instead of ending qf, so a
// cancelled search still writes its summary.
void stopSearchOnInterrupt();
