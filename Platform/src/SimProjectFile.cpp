// The project's file: read whole, its element lists taken apart as the text streams by (loadText), and
// written compactly through replaceFile.
#include "SimProject.h"

#include "HostFiles.h"
#include "JsonInput.h"

namespace host {

bool SimProject::loadFile(const std::string& path, std::string& error) {
    std::string text;
    if (!readWholeFile(path, text, error)) return false;
    if (!loadText(text, error)) {
        error = path + ": " + error;
        return false;
    }
    filePath = path;
    return true;
}

// A project this host read is written back whatever it has grown to: the compact text is about the size
// of the file it was read from, and a run's result is never thrown away for its size.
bool SimProject::saveFile(const std::string& path, std::string& error) const {
    const std::string text = saveText();
    if (firstTooDeep(text) != text.size()) {
        error = path + ": cannot be written: the project nests deeper than the " +
                std::to_string(kMaxJsonDepth) + " levels this host reads";
        return false;
    }
    return replaceFile(path, text, error);
}

}   // namespace host
