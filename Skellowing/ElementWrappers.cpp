#include "Skellowing/ElementWrappers.h"

#include <HostRecords.h>

#include "Elements/Door.h"
#include "Elements/Lamp.h"
#include "Elements/Object.h"
#include "Elements/Window.h"

namespace skellow {

std::shared_ptr<tarnwick::ComponentElem> makeElementWrapper(const SourceKey& key,
                                                            const tarnwick::ComponentLink& link) {
    switch (key.first) {
        case host::kLibraryWindow:
            return std::make_shared<tarnwick::Window>(link);
        case host::kLibraryDoor:
            return std::make_shared<tarnwick::Door>(link);
        case host::kLibraryObject:
            return std::make_shared<tarnwick::Object>(link, /*variation=*/0);
        case host::kLibraryLamp:
            return std::make_shared<tarnwick::Lamp>(link, /*variation=*/0);
        default:
            return nullptr;
    }
}

std::shared_ptr<tarnwick::ComponentElem> makeNewElementWrapper(const SourceKey& key, bool withMemo) {
    switch (key.first) {
        case host::kLibraryWindow:
            return std::make_shared<tarnwick::Window>(withMemo);
        case host::kLibraryDoor:
            return std::make_shared<tarnwick::Door>(withMemo);
        case host::kLibraryObject:
            return std::make_shared<tarnwick::Object>(withMemo, /*variation=*/0);
        case host::kLibraryLamp:
            return std::make_shared<tarnwick::Lamp>(withMemo);
        default:
            return nullptr;
    }
}

}   // namespace skellow
