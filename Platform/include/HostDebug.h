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

// How an add-on's step (an outermost transaction of its framework) ended before its work: declined by
// its preparation, its preparation failed (threw), or refused because it was asked for while the host
// told of a project event. The framework tells each as it ends; the command-line host names them.
enum class StepEnd { declined, preparationFailed, blocked };
void tellStepEnd(StepEnd end, std::string_view step);
// Each step's end is given to the watcher as it is told; null watches nothing.
void watchStepEnds(std::function<void(StepEnd end, std::string_view step)> watcher);

// The calling thread's stack as one text line per frame, innermost first, at most maxFrames lines,
// without the frames of this function itself. Names are demangled where the module exports them;
// other frames read "module(+offset) [address]".
std::vector<std::string> captureStack(int maxFrames = 32);

}   // namespace host
