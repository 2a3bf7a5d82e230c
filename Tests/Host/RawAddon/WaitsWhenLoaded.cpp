// A library whose loading never ends: its constructor waits for a signal that never comes. Where
// SKELLOW_TEST_LOAD_GATE names two descriptors ("TOLD RELEASED"), it first writes its process id to TOLD,
// then waits for RELEASED to give a byte or close instead, and its load ends.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

__attribute__((constructor)) void waitForEver() {
    int told = -1, released = -1;
    const char* gate = std::getenv("SKELLOW_TEST_LOAD_GATE");
    const pid_t self = getpid();
    if (gate && std::sscanf(gate, "%d %d", &told, &released) == 2 &&
        write(told, &self, sizeof self) == static_cast<ssize_t>(sizeof self)) {
        char byte = 0;
        while (read(released, &byte, 1) < 0 && errno == EINTR) continue;
        return;
    }
    for (;;) pause();
}

}   // namespace
