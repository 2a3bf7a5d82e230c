#include "HostDebug.h"

#include <cxxabi.h>
#include <execinfo.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <memory>
#include <utility>

namespace host {
namespace {

// A long batch run writes a line per event; past this many the oldest lines are dropped.
constexpr std::size_t kMaxDebugLines = 100000;

struct State {
    std::deque<std::string> lines;
    bool echo = false;
    std::function<void(std::string_view)> watcher;
    std::function<void(StepEnd, std::string_view)> stepWatcher;
};

// Never destroyed: a module unloaded at exit still writes its last words from a static destructor.
State& state() {
    static State* const instance = new State;
    return *instance;
}

// "module(mangled+0x1f) [0x7f...]" becomes "module(readable::name()+0x1f) [0x7f...]"; a frame
// without a symbol, or one that does not demangle (a C function), stays as it is.
std::string demangledFrame(const char* frame) {
    std::string text = frame;
    const std::size_t open = text.find('(');
    const std::size_t plus = text.find('+', open);
    if (open == std::string::npos || plus == std::string::npos || plus == open + 1) return text;
    const std::string mangled = text.substr(open + 1, plus - open - 1);
    int status = 0;
    const std::unique_ptr<char, decltype(&std::free)> name(
        abi::__cxa_demangle(mangled.c_str(), nullptr, nullptr, &status), &std::free);
    if (status != 0 || !name) return text;
    return text.replace(open + 1, mangled.size(), name.get());
}

}   // namespace

void debugOutput(std::string_view line) {
    State& s = state();
    if (s.watcher) s.watcher(line);
    if (s.echo) std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
    s.lines.emplace_back(line);
    if (s.lines.size() > kMaxDebugLines) s.lines.pop_front();
}

std::vector<std::string> debugLines() { return {state().lines.begin(), state().lines.end()}; }

void clearDebugLines() { state().lines.clear(); }

void setDebugEcho(bool on) { state().echo = on; }

void watchDebugOutput(std::function<void(std::string_view line)> watcher) {
    state().watcher = std::move(watcher);
}

void tellStepEnd(StepEnd end, std::string_view step) {
    if (state().stepWatcher) state().stepWatcher(end, step);
}

void watchStepEnds(std::function<void(StepEnd end, std::string_view step)> watcher) {
    state().stepWatcher = std::move(watcher);
}

// Names come from the dynamic symbol tables: functions of a program linked without -rdynamic, and
// functions local to a file, show as module and offset only.
std::vector<std::string> captureStack(int maxFrames) {
    if (maxFrames <= 0) return {};
    // Room for this function's frame and for any a sanitizer's wrapper of backtrace() adds.
    constexpr int kOwnFrames = 4;
    std::vector<void*> addresses(static_cast<std::size_t>(maxFrames) + kOwnFrames);
    const int count = backtrace(addresses.data(), static_cast<int>(addresses.size()));
    // The caller's frame is the one that returns to where we were called from.
    const void* const caller = __builtin_return_address(0);
    int first = 1;
    for (int i = 0; i < count && i < kOwnFrames; ++i) {
        if (addresses[static_cast<std::size_t>(i)] == caller) {
            first = i;
            break;
        }
    }
    const int last = std::min(count, first + maxFrames);
    std::vector<std::string> frames;
    if (first >= last) return frames;
    const std::unique_ptr<char*, decltype(&std::free)> symbols(backtrace_symbols(addresses.data(), last),
                                                               &std::free);
    frames.reserve(static_cast<std::size_t>(last - first));
    for (int i = first; i < last; ++i) {
        if (symbols) {
            frames.push_back(demangledFrame(symbols.get()[i]));
        } else {   // no memory for the names: the bare addresses still say where
            char address[32];
            std::snprintf(address, sizeof address, "[%p]", addresses[static_cast<std::size_t>(i)]);
            frames.emplace_back(address);
        }
    }
    return frames;
}

}   // namespace host
