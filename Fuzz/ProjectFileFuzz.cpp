// The project file on any bytes. A project that loads saves to a text that loads to the same project and
// saves to the same text; a refused one names why and leaves the project it was loaded into as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

// A round trip must give the same numbers, so the exact comparison of the records' doubles is meant.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wfloat-equal"
#include <SimProject.h>
#pragma GCC diagnostic pop

namespace {

// Everything a load sets (a refused load must also keep the undo steps).
bool sameProject(const host::SimProject& a, const host::SimProject& b) {
    return a.name == b.name && a.filePath == b.filePath && a.state == b.state && a.view == b.view;
}

// A project with some of everything, so that a refused load has something to keep.
const host::SimProject& baseProject() {
    static const host::SimProject project = [] {
        host::SimProject made;
        std::string error;
        const bool loaded =
            made.loadText(R"({"name": "Base", "layers": [{"index": 2, "name": "Walls", "hidden": true}],
            "moduleData": [{"addon": "A", "name": "", "version": 1, "platformSign": 22359, "base64": "AP8="}]})",
                          error);
        if (!loaded) std::abort();
        made.filePath = "base.json";
        made.pushUndoStep("Step", made.state);
        return made;
    }();
    return project;
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const host::SimProject& base = baseProject();
    host::SimProject project = base;
    std::string error;
    if (!project.loadText(text, error)) {
        if (error.empty() || !sameProject(project, base) || project.undoSteps().size() != 1) std::abort();
        return 0;
    }
    // No JSON text holds a raw NUL: one in a string must be escaped, one outside cuts the text short.
    if (text.find('\0') != std::string::npos) std::abort();
    if (project.filePath != base.filePath) std::abort();   // loading text does not rename the project
    const std::string first = project.saveText();
    host::SimProject again;
    again.filePath = base.filePath;
    if (!again.loadText(first, error)) std::abort();
    if (!sameProject(again, project)) std::abort();
    if (again.saveText() != first) std::abort();
    return 0;
}
