// ApplicationMap: runs of one kind of formatting over a text: an ordered map from a character position to
// an owned object that applies from there up to the next entry's position (the last one to the end).
#pragma once

#include <cstdint>
#include <memory>

#include "Foundation/Map.h"

namespace tarnwick {

// T is copy-constructible and assignable (TextStyle, TextRuler); objects are copied in and deleted with
// their entry. A new map, and a cleared one, holds exactly one entry at position 0. Copies copy every
// object.
template <typename T>
class ApplicationMap : public Map<std::uint32_t, T> {
public:
    explicit ApplicationMap(const T& initial) { this->set(0, std::make_unique<T>(initial)); }
    ApplicationMap(const ApplicationMap& other) : Map<std::uint32_t, T>() { copyFrom(other); }
    ApplicationMap& operator=(const ApplicationMap& other) {
        if (this != &other) copyFrom(other);
        return *this;
    }

    // Keeps the object of the first entry (or fallback in an empty map) alone, at position 0.
    void reset(const T& fallback) {
        std::unique_ptr<T> first =
            this->empty() ? std::make_unique<T>(fallback) : this->release(this->begin()->first);
        this->clear();
        this->set(0, std::move(first));
    }
    // Drops every entry at or after length: trimmed to 0, the map is empty.
    void trim(std::uint32_t length) {
        for (auto entry = this->lower_bound(length); entry != this->end();) entry = this->erase(entry);
    }

private:
    void copyFrom(const ApplicationMap& other) {
        Map<std::uint32_t, T> copy;
        for (const auto& [position, object] : other)
            copy.set(position, object ? std::make_unique<T>(*object) : nullptr);
        static_cast<Map<std::uint32_t, T>&>(*this) = std::move(copy);
    }
};

}   // namespace tarnwick
