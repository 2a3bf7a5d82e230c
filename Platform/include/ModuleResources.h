// The resources of an add-on module: string lists and dialog descriptions, written as text resource
// files, built into the module by addon_resources() (Platform/cmake/AddonResources.cmake) and read by
// the host when it loads the module. Platform/README.md describes the file format. For the host, its
// program and tests; add-on code reaches its strings through the host function table.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace host {

struct StringListResource {
    int id = 0;
    std::string name;   // a note for readers; not shown
    // Item n (1-based) is items[n - 1]; UTF-8 with "$1" placeholders; nullopt for a number the file skips.
    std::vector<std::optional<std::string>> items;
};

enum class DialogItemKind {
    button,
    leftText,
    centerText,
    rightText,
    editText,
    popup,
    singleList,   // a list box where one row at a time can be selected
    multiList,    // a list box where several rows can be selected
    userControl,
    icon,
    separator,
};

struct DialogItemResource {
    int id = 0;   // 1-based, in the order of the file
    DialogItemKind kind = DialogItemKind::button;
    int x = 0, y = 0, width = 0, height = 0;   // dialog units, from the client area's top left
    std::string text;
    int maxLength = 0;   // edit text: most characters kept; 0 = no limit
    int rowHeight = 0;   // lists: row height; 0 = the host's default
    std::string help;    // the item's help (tool tip) text
};

enum class DialogGrow { none, horizontal, vertical, both };

struct DialogResource {
    int id = 0;
    std::string title;
    bool palette = false;        // false: a modal dialog
    int width = 0, height = 0;   // client size
    DialogGrow grow = DialogGrow::none;
    std::vector<DialogItemResource> items;   // item n is items[n - 1]
};

class ModuleResources {
public:
    // Adds the resources of one file. False with "FILE:LINE: what" in `error` on malformed text or an
    // id that is already taken; what the file defined before the error is not kept.
    bool addFile(std::string_view text, const std::string& fileName, std::string& error);

    const StringListResource* stringList(int id) const;                   // null when there is none
    const StringListResource* stringListAfter(int id, int count) const;   // the count-th list past id
    const std::string* string(int listId, int item) const;   // null when the list or item is missing
    const DialogResource* dialog(int id) const;              // null when there is none
    bool empty() const { return stringLists_.empty() && dialogs_.empty(); }

private:
    std::map<int, StringListResource> stringLists_;   // a string list and a dialog may share an id
    std::map<int, DialogResource> dialogs_;
};

}   // namespace host
