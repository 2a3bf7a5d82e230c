// The host's debug output and the stack capture used by exception reports.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace host {

// One line of debug output. It is recorded (tests read it) and echoed to stderr when echoing is on.
void debugOutput(std::string_view line);
std::vector<std::string> debugLines();
void clearDebugLines();
void setDebugEcho(bool on);
// Each line is given to the watcher as it is written, before it is recorded; null watches nothing.
void watchDebugOutput(std::function<void(std::string_view line)> watcher);

// The calling thread's stack as one text line per frame, innermost first, at most maxFrames lines,
// without the frames of this function itself. Names are demangled where the module exports them;
// other frames read "module(+offset) [address]".
std::vector<std::string> captureStack(int maxFrames = 32);

}   // namespace host
