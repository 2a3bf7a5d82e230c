// A library whose loading never ends: its constructor waits for a signal that never comes.
#include <unistd.h>

namespace {

__attribute__((constructor)) void waitForEver() {
    for (;;) pause();
}

}   // namespace
