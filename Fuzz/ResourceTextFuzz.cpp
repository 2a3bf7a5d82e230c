// Module resource text on any bytes. A refused text names the file and line and keeps nothing; an accepted
// one gives lookups that agree with what was read, and adding the same text again is refused as a second
// definition without changing what is there.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include <ModuleResources.h>

namespace {

constexpr int kMaxId = 32767;

// What a lookup of every id finds, written out so that two states compare.
std::string contents(const host::ModuleResources& resources) {
    std::string out;
    for (int id = 1; id <= kMaxId; ++id) {
        if (const host::StringListResource* list = resources.stringList(id)) {
            out += "s" + std::to_string(id) + ":" + list->name;
            for (const auto& item : list->items) out += item ? "+" + *item : std::string("-");
        }
        if (const host::DialogResource* dialog = resources.dialog(id)) {
            out += "d" + std::to_string(id) + ":" + dialog->title + std::to_string(dialog->items.size());
            for (const auto& item : dialog->items) out += "|" + item.text + "|" + item.help;
        }
    }
    return out;
}

// Every list and dialog is under its own id, with items numbered as the file numbers them.
void checkLookups(const host::ModuleResources& resources) {
    for (const int id : {std::numeric_limits<int>::min(), -1, 0, kMaxId + 1, std::numeric_limits<int>::max()})
        if (resources.stringList(id) || resources.dialog(id) || resources.string(id, 1)) std::abort();
    for (int id = 1; id <= kMaxId; ++id) {
        if (const host::StringListResource* list = resources.stringList(id)) {
            if (list->id != id || (!list->items.empty() && !list->items.back())) std::abort();
            const int count = static_cast<int>(list->items.size());
            for (const int n :
                 {std::numeric_limits<int>::min(), 0, count + 1, std::numeric_limits<int>::max()})
                if (resources.string(id, n)) std::abort();
            for (int n = 1; n <= count; ++n) {
                const std::string* text = resources.string(id, n);
                const auto& item = list->items[static_cast<std::size_t>(n) - 1];
                if (item ? text != &*item : text != nullptr) std::abort();
            }
        } else if (resources.string(id, 1)) {
            std::abort();
        }
        if (const host::DialogResource* dialog = resources.dialog(id)) {
            if (dialog->id != id || dialog->width < 1 || dialog->height < 1) std::abort();
            for (std::size_t i = 0; i < dialog->items.size(); ++i) {
                const host::DialogItemResource& item = dialog->items[i];
                if (item.id != static_cast<int>(i) + 1 || item.width < 0 || item.height < 0 ||
                    item.maxLength < 0 || item.rowHeight < 0)
                    std::abort();
            }
        }
    }
}

// "FILE:LINE: why", with a line of the text.
bool namesFileAndLine(const std::string& error, std::string_view text) {
    const std::string_view prefix = "fuzz.rsrc:";
    if (error.compare(0, prefix.size(), prefix) != 0) return false;
    std::size_t at = prefix.size();
    std::size_t line = 0;
    while (at < error.size() && error[at] >= '0' && error[at] <= '9' && line <= text.size() + 1)
        line = line * 10 + static_cast<std::size_t>(error[at++] - '0');
    std::size_t lines = 1;
    for (const char c : text) lines += c == '\n';
    return line >= 1 && line <= lines && error.compare(at, 2, ": ") == 0 && error.size() > at + 2;
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    host::ModuleResources resources;
    std::string error;
    if (!resources.addFile(text, "fuzz.rsrc", error)) {
        if (!namesFileAndLine(error, text) || !resources.empty()) std::abort();
        return 0;
    }
    checkLookups(resources);
    const std::string before = contents(resources);
    std::string again;
    const bool added = resources.addFile(text, "fuzz.rsrc", again);
    if (resources.empty()) {
        if (!added) std::abort();   // nothing defined, nothing to clash with
    } else if (added || again.find("is defined twice") == std::string::npos ||
               !namesFileAndLine(again, text)) {
        std::abort();
    }
    if (contents(resources) != before) std::abort();
    return 0;
}
