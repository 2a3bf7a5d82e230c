#include "Skellowing/ObjectMapTexts.h"

#include <chrono>
#include <ctime>
#include <string>

#include "Environment/Host.h"
#include "Foundation/XMLReader.h"
#include "Foundation/XMLTypeProxy.h"
#include "Skellowing/MessageText.h"
#include "Skellowing/SkellowingStrings.h"

namespace skellow {

using tarnwick::Host;
using tarnwick::String;

namespace {

constexpr std::uint32_t kShownNameCharacters = 60;

}   // namespace

String text(std::int16_t list, std::int32_t item) { return Host::getString(list, item); }

String filled(std::int32_t item, std::initializer_list<String> values) {
    String result = text(strings::kTableFile, item);
    if (result.isEmpty()) {   // never blank: which message, and what it would have named
        result = unreadMessage(strings::kTableFile, item);
        for (const String& value : values) (result += "\n") += value;
        return result;
    }
    int n = 0;
    for (const String& value : values) result.replaceAll(String(("$" + std::to_string(++n)).c_str()), value);
    return result;
}

String count(std::uint64_t n) { return String(n); }

String shownName(const String& name) {
    if (name.getLength() <= kShownNameCharacters) return name;
    return filled(strings::kCutName, {name.substring(0, kShownNameCharacters)});
}

String timeText(std::optional<std::filesystem::file_time_type> time) {
    if (!time) return text(strings::kTableFile, strings::kUnknownTime);
    const std::time_t seconds = std::chrono::system_clock::to_time_t(std::chrono::file_clock::to_sys(*time));
    std::tm local{};
    char shown[32] = "";
    if (::localtime_r(&seconds, &local)) std::strftime(shown, sizeof shown, "%Y-%m-%d %H:%M:%S", &local);
    return String(shown);
}

String readFault(const String& fileName, const tarnwick::XMLReader& reader) {
    return filled(strings::kReadFaultAt,
                  {fileName, String(static_cast<std::uint64_t>(reader.errorLine())),
                   String(static_cast<std::uint64_t>(reader.errorColumn())),
                   text(strings::kReadFaults, static_cast<std::int32_t>(reader.error()))});
}

String unreadFault(const String& fileName) {
    return filled(
        strings::kFileUnread,
        {fileName, text(strings::kReadFaults, static_cast<std::int32_t>(tarnwick::XMLError::inputFailed))});
}

String kindText(ObjectMapType kind) {
    for (const auto& entry : tarnwick::XMLTypeProxy<ObjectMapType>::enumTexts())
        if (entry.value == kind) return String(entry.text);
    return String();
}

}   // namespace skellow
