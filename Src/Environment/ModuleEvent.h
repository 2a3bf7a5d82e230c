// ModuleEvent: the host merges another project's module data of the add-on into the open project.
#pragma once

#include <cstdint>
#include <string_view>

#include <FourCC.h>

#include "Environment/Event.h"

namespace tarnwick {

// Key 'HOST', 'MDAT'. Carries the module data's name and the incoming bytes (the other project's
// data of that name), borrowed from the host's callback: valid only while the event is published.
class ModuleEvent : public Event {
public:
    static constexpr std::uint32_t kSource = host::fourcc("HOST");
    static constexpr std::uint32_t kType = host::fourcc("MDAT");

    ModuleEvent(const String& name, std::string_view data);

    const String& getName() const { return name_; }
    std::string_view getData() const { return data_; }

    String describe() const override;   // "HOST/MDAT frameworkPreferenceStore (120 bytes)"

private:
    String name_;
    std::string_view data_;
};

}   // namespace tarnwick
