#include "Styles/UniqueName.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace tarnwick {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string leftPadded(std::string text, std::uint32_t width) {   // never shortens
    if (text.size() < width) text.insert(0, width - text.size(), '0');
    return text;
}

}   // namespace

UniqueName::UniqueName(const String& wanted) : wanted_(wanted) {
    const std::string_view text = wanted.getView();
    std::size_t digits = 0;
    while (digits < text.size() && isDigit(text[text.size() - 1 - digits])) ++digits;
    // A name of digits only has no prefix and no width: its clash counts up from the largest number.
    if (digits == text.size()) {
        prefix_.clear();
        width_ = 0;
    } else {
        prefix_ = std::string(text.substr(0, text.size() - digits));
        width_ = static_cast<std::uint32_t>(digits);
    }
}

void UniqueName::add(const String& name) {
    const std::string_view text = name.getView();
    if (!text.starts_with(prefix_)) return;
    if (text == wanted_.getView()) clash_ = true;
    numbered_.emplace_back(text);
    const std::string rest = leftPadded(std::string(text.substr(prefix_.size())), width_);
    if (!std::all_of(rest.begin(), rest.end(), isDigit)) return;
    std::uint64_t number = 0;
    if (!rest.empty()) {
        const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), number);
        if (error != std::errc{} || end != rest.data() + rest.size()) return;   // past 64 bits: skipped
    }
    if (number == std::numeric_limits<std::uint64_t>::max()) largestIsMax_ = true;
    largest_ = std::max(largest_, number);
}

String UniqueName::result() const {
    if (!clash_) return wanted_;
    // The next number after the largest, unless that wrapped; then the first free one from 1.
    std::uint64_t number = largestIsMax_ ? 1 : largest_ + 1;
    for (;;) {
        std::string candidate = prefix_ + leftPadded(std::to_string(number), width_);
        if (std::find(numbered_.begin(), numbered_.end(), candidate) == numbered_.end())
            return String(std::string_view(candidate));
        ++number;
    }
}

}   // namespace tarnwick
