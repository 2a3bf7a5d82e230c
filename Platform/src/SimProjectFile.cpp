// The project's file: read whole and taken apart by loadText, written whole through replaceFile.
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

bool SimProject::saveFile(const std::string& path, std::string& error) const {
    const std::string text = saveText();
    // A project this host could not open again is not written: the limits are those of reading.
    if (text.size() > kMaxInputFileBytes) {
        error = path + ": cannot be written: the project takes " + std::to_string(text.size() >> 20) +
                " MiB, more than the " + std::to_string(kMaxInputFileBytes >> 20) + " MiB this host reads";
        return false;
    }
    if (firstTooDeep(text) != text.size()) {
        error = path + ": cannot be written: the project nests deeper than the " +
                std::to_string(kMaxJsonDepth) + " levels this host reads";
        return false;
    }
    return replaceFile(path, text, error);
}

}   // namespace host
