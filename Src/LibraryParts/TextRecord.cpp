#include "LibraryParts/TextRecord.h"

namespace tarnwick {

TextRecord::TextRecord(const String& text) { push_back(std::make_unique<TextField>(text)); }

TextRecord::~TextRecord() = default;

std::unique_ptr<TextRecord> TextRecord::clone() const {
    auto copy = std::make_unique<TextRecord>();
    copy->reserve(size());
    for (const auto& field : *this) copy->push_back(field ? std::make_unique<TextField>(*field) : nullptr);
    return copy;
}

bool TextRecord::split(std::string_view line, std::string_view separator) {
    clear();
    if (separator.empty()) return false;   // nothing would ever end a cell
    std::size_t start = 0;
    for (std::size_t at = line.find(separator); at != std::string_view::npos;
         at = line.find(separator, start)) {
        push_back(std::make_unique<TextField>(String(line.substr(start, at - start))));
        start = at + separator.size();
    }
    return !empty();
}

String TextRecord::join(const String& separator) const {
    String text;
    if (empty()) return text;
    bool first = true;
    for (const auto& field : *this) {
        if (!first) text += separator;
        first = false;
        if (field) text += *field;
    }
    text += "\r\n";
    return text;
}

}   // namespace tarnwick
