// Element wrappers of the kind a source key names (window, door, object or lamp), made on a library part
// or from the host's tool defaults: the mapping dialog's parameter settings work on them.
#pragma once

#include <memory>

#include "Skellowing/SourceGroups.h"

namespace tarnwick {
class ComponentElem;
class ComponentLink;
}   // namespace tarnwick

namespace skellow {

// A new element of the key's library-part type (2 window, 3 door, 4 object, 5 lamp; the name is not
// used) placed from the part. Empty for any other type.
std::shared_ptr<tarnwick::ComponentElem> makeElementWrapper(const SourceKey& key,
                                                            const tarnwick::ComponentLink& link);

// A new element of the key's type from the host's tool defaults of its element type; withMemo also reads
// the default parameters. Empty for a type other than 2 to 5.
std::shared_ptr<tarnwick::ComponentElem> makeNewElementWrapper(const SourceKey& key, bool withMemo);

}   // namespace skellow
