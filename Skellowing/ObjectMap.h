// ObjectMap: the object mapping table: for each source kind, named configurations, each mapping source
// names to replacement library parts.
#pragma once

#include <memory>
#include <string_view>
#include <utility>

#include "Foundation/String.h"
#include "Foundation/XMLArray.h"
#include "Skellowing/ObjectMapType.h"
#include "Skellowing/ObjectSpecification.h"
#include "Skellowing/SourceGroups.h"
#include "Skellowing/SpecificationList.h"

namespace tarnwick {
class PopupMenu;
}

namespace skellow {

struct TableFileState;   // ObjectMapFile's record of the file this table was read from

// Owns its configurations, in the order added; a copy is deep (see ObjectSpecification for what the
// specifications share). <objectMap><specificationList .../>...</objectMap>; at its end tag a "Default"
// configuration is added for each kind that has none. Lookups by configuration name are exact; lookups
// by source name ignore letter case.
class ObjectMap : public tarnwick::XMLArray {
public:
    static constexpr std::string_view kTag = "objectMap";

    ObjectMap();   // no configurations
    ObjectMap(const ObjectMap& other);
    ~ObjectMap() override;

    std::unique_ptr<tarnwick::XMLAssembly> clone() const override;
    void assign(const ObjectMap& other);   // copies of the other's configurations; itself: nothing
    void clear() override;                 // every configuration deleted, then ensureDefaults
    bool isValid() override;               // ensureDefaults; always true
    // A "Default" configuration for each kind, in kind order, that has none; appended at the end.
    void ensureDefaults();

    std::size_t size() const { return getItemCount(); }
    SpecificationList& at(std::size_t index) const;   // throws TracedException "out_of_range" past the end

    SpecificationList& addList(const tarnwick::String& name, ObjectMapType kind);   // no test for the name
    // The first configuration of the name and kind takes newName; false when there is none.
    bool renameList(const tarnwick::String& name, const tarnwick::String& newName, ObjectMapType kind);
    bool removeList(const tarnwick::String& name, ObjectMapType kind);   // the first match; false when none
    SpecificationList* findList(const tarnwick::String& name, ObjectMapType kind) const;   // null when none

    // The key's mapping in the configuration (name, kind). With create, one is made there when the
    // configuration exists and has none (marked prefilled as asked). Otherwise every configuration of
    // every kind is searched in table order, and name becomes the name of the one that answers. Null when
    // none does. `where`, when given, receives the configuration that answered: a mapping is the
    // configuration's own only when that is findList(name, kind), since every kind has a "Default".
    ObjectSpecification* findSpecification(const SourceKey& key, tarnwick::String& name, ObjectMapType kind,
                                           bool create, bool prefilled = false,
                                           SpecificationList** where = nullptr) const;
    // The key's mapping in the configuration (name, kind) itself; null when it has none.
    ObjectSpecification* findOwnSpecification(const SourceKey& key, const tarnwick::String& name,
                                              ObjectMapType kind) const;
    // Appends a copy of the specification, its part resolved, to the configuration; nothing when there is
    // no such configuration.
    void copySpecification(const ObjectSpecification& specification, const tarnwick::String& name,
                           ObjectMapType kind);
    // Deletes the configuration's first mapping of the key; nothing when there is none.
    void removeSpecification(const SourceKey& key, const tarnwick::String& name, ObjectMapType kind);
    // Fills the mapping dialog's configuration popup: "Add new configuration...", "Rename ...", "Delete
    // ...", a separator, then the kind's configurations sorted by their lower-case names, and selects the
    // named one (an empty or unknown name: the first). The name selected.
    tarnwick::String fillConfigurationPopup(tarnwick::PopupMenu& popup, const tarnwick::String& name,
                                            ObjectMapType kind) const;

    // What the table file held when this table last met it (read or saved), so that a save can tell
    // the changes made here from those another run saved meanwhile; null before. Copies share it;
    // assign leaves it.
    const std::shared_ptr<const TableFileState>& getFileState() const { return fileState_; }
    void setFileState(std::shared_ptr<const TableFileState> state) { fileState_ = std::move(state); }

protected:
    std::unique_ptr<tarnwick::XMLAssembly> makeItem() override;

private:
    std::shared_ptr<const TableFileState> fileState_;
};

}   // namespace skellow
