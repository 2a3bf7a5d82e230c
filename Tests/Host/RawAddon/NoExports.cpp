// A shared library that is not an add-on: it lacks the host's two exports.
extern "C" __attribute__((visibility("default"))) int SomethingElse() { return 42; }
