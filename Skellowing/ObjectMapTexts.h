// The texts the table's file tells: those of its string list with their values filled in, and why a
// read of it stopped.
#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <optional>

#include "Foundation/String.h"
#include "Skellowing/ObjectMapType.h"

namespace tarnwick {
class XMLReader;
}

namespace skellow {

tarnwick::String text(std::int16_t list, std::int32_t item);   // the list's item, as the host gives it
// A text of the table file's list, its "$1", "$2", ... given in order.
tarnwick::String filled(std::int32_t item, std::initializer_list<tarnwick::String> values);
tarnwick::String count(std::uint64_t n);   // a number as the texts show it
// A name the file gave, as a line quotes it: a long one by its first characters, so that no line
// repeats a whole file.
tarnwick::String shownName(const tarnwick::String& name);
// A file's time as the user reads it, in local time; a text that says so when there is none.
tarnwick::String timeText(std::optional<std::filesystem::file_time_type> time);

// Where and why the reader stopped in the file.
tarnwick::String readFault(const tarnwick::String& fileName, const tarnwick::XMLReader& reader);
tarnwick::String unreadFault(const tarnwick::String& fileName);   // the file could not be read to its end

tarnwick::String kindText(ObjectMapType kind);   // as the file names the kind; empty for none

}   // namespace skellow
