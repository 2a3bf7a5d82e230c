// MappingDialog: the modal "Object Mapping Table" dialog that every command shows before it replaces
// anything: one row per source name found, the part it maps to, and the configuration in use.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "Foundation/String.h"
#include "Interface/Dialog.h"
#include "Skellowing/ObjectMap.h"
#include "Skellowing/ObjectMapType.h"
#include "Skellowing/SourceGroups.h"

namespace tarnwick {
class Button;
class ComponentElem;
class EditText;
class ListControl;
class PopupMenu;
class StaticText;
}   // namespace tarnwick

namespace skellow {

class SkellowingPrefs;

// Borrows the transaction's table, groups and parts, and edits a copy of the table: accepting
// ("Skellow") writes the copy back, makes the shown configuration the kind's active one and saves the
// table file; "Cancel" drops every change, the tool settings that "Skellowed Settings..." changed
// included. A replacement name typed into the field is looked up when the entry is over (the field loses
// the focus, another row or configuration is chosen, or the dialog is accepted), not on every keystroke.
// Without the project's preferences the dialog stays empty and accepting writes nothing.
class MappingDialog : public tarnwick::Dialog {
public:
    static constexpr std::uint16_t kResourceId = 32510;

    MappingDialog(ObjectMap& table, ObjectMapType kind, const SourceGroupMap& groups,
                  const LibraryPartList& parts);
    ~MappingDialog() override;

    void initialise() override;                                 // the controls, the pre-fill, the rows
    void close(const tarnwick::ActionEvent& event) override;    // "Skellow": the result is written
    void cancel(const tarnwick::ActionEvent& event) override;   // the tools' settings put back
    void detach() override;

    void refresh();    // the popup for the shown configuration, then the rows
    void fillRows();   // one row a group, in key order; no row selected

    const ObjectMap& getWorkingCopy() const { return working_; }
    const tarnwick::String& getActiveName() const { return activeName_; }

private:
    class ResizePalette;
    class EditSource;
    class EditMappedName;
    class SetParameters;
    class ZoomOriginal;
    class ClearMapping;
    class ChangeSelection;
    class CommitMappedName;

    // A replacement name typed into the field and not yet looked up: the row it was typed for.
    struct TypedName {
        std::size_t row;
        tarnwick::String text;
    };

    SkellowingPrefs* prefs() const;   // the project's package; null when none
    friend void setRowColour(MappingDialog& dialog, const SourceKey& key, std::int16_t row);
    friend void prefillMappings(MappingDialog& dialog, ObjectMapType kind, const SourceGroupMap& groups,
                                ObjectMap& workingCopy);
    void showCleared(std::int16_t row);   // an empty replacement, orange
    // The key's mapping in the shown configuration itself, made there when it has none; null when the
    // configuration does not exist.
    ObjectSpecification* ownSpecification(const SourceKey& key);
    std::vector<std::uint16_t> selectedRows() const;   // first to last
    void commitTypedName();                            // looks the typed name up, when there is one
    void keepMappingOf(const SourceKey& key, std::int16_t row);   // says a choice failed; the row as it was
    std::uint16_t firstSelectedRow() const;                       // ListControl::kNone when none
    void enableRowButtons(bool enabled);
    void editSource();
    // Before the settings first change its tool's; false when the host does not give them.
    bool keepToolDefaults(const SourceKey& key);
    void setParameters();
    void zoomOriginal();
    void clearMapping();

    std::unique_ptr<ResizePalette> resizePalette_;
    std::unique_ptr<EditSource> editSource_;
    std::unique_ptr<EditMappedName> editMappedName_;
    std::unique_ptr<SetParameters> setParameters_;
    std::unique_ptr<ZoomOriginal> zoomOriginal_;
    std::unique_ptr<ClearMapping> clearMapping_;
    std::unique_ptr<ChangeSelection> changeSelection_;
    std::unique_ptr<CommitMappedName> commitMappedName_;
    ObjectMap& table_;
    ObjectMap working_;
    const SourceGroupMap& groups_;
    const LibraryPartList& parts_;
    ObjectMapType kind_;
    std::vector<SourceKey> keys_;   // the key of each row
    std::optional<TypedName> typed_;
    // Each tool's settings as they were before the settings step first changed them, by part type.
    std::map<std::int32_t, std::shared_ptr<tarnwick::ComponentElem>> toolDefaults_;
    // The controls belong to the panel while it is open.
    tarnwick::PopupMenu* popup_ = nullptr;
    tarnwick::StaticText* sourceName_ = nullptr;
    tarnwick::EditText* mappedName_ = nullptr;
    tarnwick::ListControl* list_ = nullptr;
    tarnwick::Button* buttons_[5] = {};   // items 1, 2, 10, 11, 12
    tarnwick::String activeName_;
};

// One row: the source name, its mapping in the shown configuration and the row's colour (black: the
// configuration's own, green: inherited or pre-filled, red: naming no part, orange: none).
void setRowColour(MappingDialog& dialog, const SourceKey& key, std::int16_t row);
// For missing and legacy parts: maps each group without a mapping to the part named like its source,
// in the shown configuration of the working copy.
void prefillMappings(MappingDialog& dialog, ObjectMapType kind, const SourceGroupMap& groups,
                     ObjectMap& workingCopy);

}   // namespace skellow
