#include "Interface/StyledString.h"

#include <algorithm>
#include <iterator>

namespace tarnwick {
namespace {

template <typename T>
StyledString::Run<T> runOf(const ApplicationMap<T>& map, typename ApplicationMap<T>::const_iterator entry,
                           std::uint32_t length) {
    StyledString::Run<T> run;
    run.start = entry->first;
    const auto next = std::next(entry);
    const std::uint32_t end = next == map.end() ? length : next->first;
    run.count = end > run.start ? end - run.start : 0;
    run.object = entry->second.get();
    return run;
}

template <typename T>
StyledString::Run<T> runAtIndex(const ApplicationMap<T>& map, std::uint32_t index, std::uint32_t length) {
    if (index >= map.size()) return {};
    return runOf(map, std::next(map.begin(), index), length);
}

template <typename T>
StyledString::Run<T> runAtPosition(const ApplicationMap<T>& map, std::uint32_t position,
                                   std::uint32_t length) {
    if (position >= length || map.empty()) return {};
    auto entry = map.upper_bound(position);
    if (entry == map.begin()) return {};
    return runOf(map, std::prev(entry), length);
}

// Lays object over [start, start + count) of a text of `length` characters.
template <typename T>
void setRun(ApplicationMap<T>& map, const T& object, std::uint32_t start, std::uint32_t count,
            std::uint32_t length) {
    if (start >= length) {
        if (length == 0 && !map.empty() && map.begin()->second) *map.begin()->second = object;
        return;
    }
    if (count == String::npos || std::uint64_t{start} + count > length) count = length - start;
    if (count == 0) return;   // an empty range changes nothing
    const std::uint32_t end = start + count;
    // What stood at the end goes on after the new run.
    std::unique_ptr<T> continued;
    if (end < length && !map.contains(end)) {
        auto last = map.upper_bound(end - 1);
        if (last != map.begin() && std::prev(last)->second)
            continued = std::make_unique<T>(*std::prev(last)->second);
    }
    for (auto entry = map.lower_bound(start); entry != map.end() && entry->first < end;)
        entry = map.erase(entry);
    if (continued) map.set(end, std::move(continued));
    map.set(start, std::make_unique<T>(object));
}

// Rebuilds map from source's entries over [start, start + count) of a text of sourceLength characters.
template <typename T>
void copyRange(ApplicationMap<T>& map, const ApplicationMap<T>& source, std::uint32_t start,
               std::uint32_t count, std::uint32_t sourceLength) {
    map.clear();
    const std::uint32_t end = start + count;
    for (auto entry = source.begin(); entry != source.end(); ++entry) {
        const auto next = std::next(entry);
        const std::uint32_t entryEnd = next == source.end() ? sourceLength : next->first;
        if (entry->first >= end || entryEnd <= start || !entry->second) continue;
        map.set(entry->first > start ? entry->first - start : 0, std::make_unique<T>(*entry->second));
    }
}

}   // namespace

StyledString::StyledString() : styles_(std::make_unique<StyleMap>()), rulers_(std::make_unique<RulerMap>()) {}

StyledString::StyledString(const char* utf8, std::uint32_t length)
    : String(utf8, length, kUtf8),
      styles_(std::make_unique<StyleMap>()),
      rulers_(std::make_unique<RulerMap>()) {}

StyledString::StyledString(std::uint32_t count, char character)
    : String(count, character),
      styles_(std::make_unique<StyleMap>()),
      rulers_(std::make_unique<RulerMap>()) {}

StyledString::StyledString(std::u16string_view text)
    : String(text), styles_(std::make_unique<StyleMap>()), rulers_(std::make_unique<RulerMap>()) {}

StyledString::StyledString(const char16_t* chars, std::uint32_t count)
    : String(chars, count), styles_(std::make_unique<StyleMap>()), rulers_(std::make_unique<RulerMap>()) {}

StyledString::StyledString(const String& text, std::uint32_t start, std::uint32_t count)
    : String(text.substring(start, count)),
      styles_(std::make_unique<StyleMap>()),
      rulers_(std::make_unique<RulerMap>()) {}

StyledString::StyledString(const StyledString& other)
    : String(other),
      styles_(std::make_unique<StyleMap>(*other.styles_)),
      rulers_(std::make_unique<RulerMap>(*other.rulers_)) {}

StyledString::StyledString(const StyledString& other, std::uint32_t start, std::uint32_t count)
    : String(other.String::substring(start, count)),
      styles_(std::make_unique<StyleMap>(*other.styles_)),
      rulers_(std::make_unique<RulerMap>(*other.rulers_)) {
    trimMaps();
}

StyledString& StyledString::operator=(const StyledString& other) {
    if (this == &other) return *this;
    auto styles = std::make_unique<StyleMap>(*other.styles_);
    auto rulers = std::make_unique<RulerMap>(*other.rulers_);
    String::operator=(other);
    styles_ = std::move(styles);
    rulers_ = std::move(rulers);
    return *this;
}

StyledString::~StyledString() = default;

std::unique_ptr<String> StyledString::clone() const { return std::make_unique<StyledString>(*this); }

void StyledString::trimMaps() {
    const std::uint32_t length = getLength();
    styles_->trim(length);
    rulers_->trim(length);
}

void StyledString::setLength(std::uint32_t characters) {
    String::setLength(characters);   // cut to nothing, it clears, which resets our maps: trim after
    styles_->trim(characters);
    rulers_->trim(characters);
}

void StyledString::assign(const char* bytes, std::uint32_t length, std::int32_t charset) {
    String::assign(bytes, length, charset);
    trimMaps();   // a shorter text leaves no run past its end
    // A text given to maps emptied by setLength (0) takes the default formatting: without any, it
    // could never be stored.
    if (!isEmpty() && styles_->empty()) styles_->reset(TextStyle(0, kDefaultSize));
    if (!isEmpty() && rulers_->empty()) rulers_->reset(TextRuler());
}

void StyledString::clear() {
    styles_->reset(TextStyle(0, kDefaultSize));
    rulers_->reset(TextRuler());
    String::clear();
}

void StyledString::setText(const char* utf8, std::uint32_t length) {
    styles_->reset(TextStyle(0, kDefaultSize));
    rulers_->reset(TextRuler());
    String::assign(utf8, length, kUtf8);
}

void StyledString::replace(std::uint32_t position, std::uint32_t count, const String& source,
                           std::uint32_t sourceStart, std::uint32_t sourceCount) {
    const StyledString piece(source.substring(sourceStart, sourceCount));   // brings no formatting
    const std::uint32_t length = getLength();
    if (position == npos || position > length) {
        append(piece);
        return;
    }
    count = std::min(count, length - position);
    const StyledString tail = substring(position + count);
    setLength(position);
    append(piece);
    append(tail);
}

void StyledString::append(const StyledString& other) {
    if (other.isEmpty()) return;
    if (isEmpty()) {
        *this = other;
        return;
    }
    const std::uint32_t n = getLength();
    String::append(other);
    for (const auto& [position, style] : *other.styles_)
        if (style) styles_->set(n + position, std::make_unique<TextStyle>(*style));
    // The ruler of the first paragraph that begins after the join.
    const LineBreak lineBreak = findLineBreak(n - 1);
    if (lineBreak.at == npos || lineBreak.next == npos) return;
    const RulerRun covering = runAtPosition(*other.rulers_, lineBreak.next - n, other.getLength());
    if (covering.object) rulers_->set(lineBreak.next, std::make_unique<TextRuler>(*covering.object));
}

StyledString::StyleRun StyledString::getStyleRun(std::uint32_t index) const {
    return runAtIndex(*styles_, index, getLength());
}
StyledString::RulerRun StyledString::getRulerRun(std::uint32_t index) const {
    return runAtIndex(*rulers_, index, getLength());
}
StyledString::StyleRun StyledString::getStyleAt(std::uint32_t position) const {
    return runAtPosition(*styles_, position, getLength());
}
StyledString::RulerRun StyledString::getRulerAt(std::uint32_t position) const {
    return runAtPosition(*rulers_, position, getLength());
}

void StyledString::setStyle(const TextStyle& style, std::uint32_t start, std::uint32_t count) {
    setRun(*styles_, style, start, count, getLength());
}
void StyledString::setRuler(const TextRuler& ruler, std::uint32_t start, std::uint32_t count) {
    setRun(*rulers_, ruler, start, count, getLength());
}

StyledString StyledString::substring(std::uint32_t start, std::uint32_t count) const {
    StyledString result(String::substring(start, count));
    if (result.isEmpty()) return result;
    const std::uint32_t taken = result.getLength();
    copyRange(*result.styles_, *styles_, start, taken, getLength());
    copyRange(*result.rulers_, *rulers_, start, taken, getLength());
    return result;
}

StyledString StyledString::toUpper() const {
    StyledString result(*this);
    const String upper = String::toUpper();
    result.assign(upper.getText(), upper.getByteLength());
    return result;
}

StyledString StyledString::toLower() const {
    StyledString result(*this);
    const String lower = String::toLower();
    result.assign(lower.getText(), lower.getByteLength());
    return result;
}

}   // namespace tarnwick
