#include "Skellowing/UniqueSource.h"

#include <algorithm>
#include <string>

#include <HostText.h>

#include "Environment/Host.h"
#include "Skellowing/SkellowingStrings.h"

namespace skellow {

using tarnwick::Host;
using tarnwick::PopupMenu;
using tarnwick::String;

UniqueSource::UniqueSource(const PopupMenu& popup, std::uint16_t index) : popup_(popup), index_(index) {}

bool UniqueSource::accept(const String& name, String& message) {
    // The table file cannot keep most control characters (such a name would make every save fail), and
    // none belongs in a name the popup shows: DEL and the C1 controls (U+0080 to U+009F, which some
    // terminals act on) no more than the others.
    const std::string_view text = name.getView();
    const std::u16string units = host::utf8ToUtf16(text);
    if (std::any_of(units.begin(), units.end(),
                    [](char16_t u) { return u < 0x20 || (u >= 0x7F && u <= 0x9F); })) {
        message = Host::getString(strings::kTableFile, strings::kControlCharacterName);
        return false;
    }
    // Nor U+FFFE, U+FFFF or half a surrogate pair (text that is not UTF-8 decodes to U+FFFD): a file
    // holding one is no XML that another reader would take.
    if (std::any_of(units.begin(), units.end(), [](char16_t u) { return u == 0xFFFE || u == 0xFFFF; }) ||
        host::utf16ToUtf8(units) != text) {
        message = Host::getString(strings::kTableFile, strings::kNonXmlCharacterName);
        return false;
    }
    // 1. to 3. A name no item shows, or the renamed configuration's own.
    const std::uint16_t item = popup_.findItem(name);
    if (item == PopupMenu::kNone) return true;
    if (index_ != PopupMenu::kNone && index_ == item) return true;
    // 4. The name request shows the message and stays open.
    message = Host::getString(strings::kMessages, strings::kNameUsed);
    return false;
}

String requestSourceName(const PopupMenu& popup, std::uint16_t index) {
    // 1. and 2.
    UniqueSource filter(popup, index);
    const String prompt =
        Host::getString(strings::kMessages,
                        index == PopupMenu::kNone ? strings::kNewSourcePrompt : strings::kRenameSourcePrompt);
    const String title = Host::getString(strings::kTitles, strings::kSourceNameTitle);
    // 3. and 4.
    tarnwick::NameRequest request(&filter, title, prompt, String());
    const String name = request.request();
    return request.isCancelled() ? String() : name;
}

}   // namespace skellow
