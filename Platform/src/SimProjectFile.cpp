// The project's file: read whole, its element lists taken apart as the text streams by (loadText), and
// written compactly through replaceFile.
#include "SimProject.h"

#include "HostFiles.h"
#include "HostText.h"
#include "JsonInput.h"

namespace host {

bool SimProject::loadFile(const std::string& path, std::string& error) {
    std::string text;
    if (!readWholeFile(path, text, error)) return false;
    if (!loadText(text, error)) {
        error = shownPath(path) + ": " + error;
        return false;
    }
    filePath = path;
    return true;
}

bool SimProject::saveFile(const std::string& path, std::string& error) const {
    std::string tooLarge;
    return saveFile(path, error, tooLarge);
}

// A run's result is never thrown away for its size: a project grown past what the host reads is written
// all the same, and the caller tells that it cannot be opened again.
bool SimProject::saveFile(const std::string& path, std::string& error, std::string& tooLarge,
                          std::uintmax_t readLimit) const {
    tooLarge.clear();
    const std::string text = saveText();
    if (firstTooDeep(text) != text.size()) {
        error = shownPath(path) + ": cannot be written: the project nests deeper than the " +
                std::to_string(kMaxJsonDepth) + " levels this host reads";
        return false;
    }
    if (!replaceFile(path, text, error)) return false;
    if (text.size() > readLimit)
        tooLarge = shownPath(path) + ": is written, but its " + std::to_string(text.size()) +
                   " bytes are more than the " + sizeLimitText(readLimit) +
                   " this host reads: it cannot be opened again";
    return true;
}

}   // namespace host
