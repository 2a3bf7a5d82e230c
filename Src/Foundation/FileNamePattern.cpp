#include "Foundation/FileNamePattern.h"

#include <string_view>

namespace tarnwick {

FileNamePattern::FileNamePattern(const String& pattern, const String& stem) {
    const std::string_view text = pattern.getView();
    const std::string_view wildcard = stem.isEmpty() ? std::string_view("*") : stem.getView();
    std::size_t start = 0;
    for (std::size_t at = text.find(wildcard); at != std::string_view::npos;
         at = text.find(wildcard, start)) {
        parts_.emplace_back(text.substr(start, at - start));
        start = at + wildcard.size();
    }
    parts_.emplace_back(text.substr(start));
    hasWildcard_ = parts_.size() > 1;
}

bool FileNamePattern::matches(const String& name) const {
    const std::string_view text = name.getView();
    if (!hasWildcard_) return text == parts_.front();
    const std::string& prefix = parts_.front();
    const std::string& suffix = parts_.back();
    // Prefix and suffix may not share bytes: "ab*ba" does not match "aba".
    if (text.size() < prefix.size() + suffix.size()) return false;
    if (!text.starts_with(prefix) || !text.ends_with(suffix)) return false;
    const std::size_t limit = text.size() - suffix.size();
    std::size_t position = prefix.size();
    // Taking each inner text at its first place leaves the most room for the ones after it.
    for (std::size_t i = 1; i + 1 < parts_.size(); ++i) {
        const std::string& inner = parts_[i];
        const std::size_t at = text.find(inner, position);
        if (at == std::string_view::npos || at + inner.size() > limit) return false;
        position = at + inner.size();
    }
    return true;
}

}   // namespace tarnwick
