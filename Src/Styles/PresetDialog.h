// PresetDialog: the style manager: the user-data dialog over the project's style database, with a popup
// of the registered style types that chooses which styles are listed, and the import of legacy style
// files beside style files.
#pragma once

#include <cstdint>
#include <vector>

#include "Interface/ItemSubscriber.h"
#include "Interface/PopupMenu.h"
#include "Interface/StaticText.h"
#include "Styles/PresetDatabase.h"
#include "Styles/UserDataListDialog.h"

namespace tarnwick {

class ItemEvent;

// Made and run on the stack of the style editor (PresetEditor); see UserDataDialog.
class PresetDialog : public UserDataListDialog<PresetDatabase> {
public:
    static constexpr std::uint16_t kDialogId = 32604;
    static constexpr std::uint16_t kTypeItem = 12;
    static constexpr std::uint16_t kTypeLabelItem = 13;
    static constexpr std::uint16_t kListItem = 14;
    static constexpr std::int16_t kStyleStrings = 32707;

    PresetDialog();
    ~PresetDialog() override;

    void initialise() override;
    void detach() override;
    void moveBy(const ScreenPoint& delta) override;
    void getFileTypes(std::vector<String>& names, std::vector<String>& extensions, bool exporting) override;
    // Also a legacy style file, into the style database the collection holds. A notification tells how
    // many styles the file brought when it brought any.
    bool importFile(UserDatabaseCollection& collection, DataFile& file, const String& typeName,
                    const String& extension) override;
    std::int16_t getStringListId() const override { return kStyleStrings; }
    std::int16_t getFileTypeIndex() const override { return kStylesFileItem; }
    String getFileExtension() const override { return "presets"; }

    PopupMenu* getTypePopup() const { return typePopup_; }

private:
    static constexpr std::int32_t kStyleWordItem = 1;         // "Style"
    static constexpr std::int32_t kStylesFileItem = 4;        // "Styles File"
    static constexpr std::int32_t kLegacyFileItem = 5;        // "Legacy Style File"
    static constexpr std::int32_t kStylesImportedItem = 27;   // of the framework's list: "$1 styles were ..."

    // The type popup's choice becomes the current style type and the list shows its styles.
    class TypePicker final : public ItemSubscriber {
    public:
        bool handle(const ItemEvent& event) override;
    };

    void pickType();

    TypePicker typePicker_;
    PopupMenu* typePopup_ = nullptr;   // the panel's while open
    StaticText* typeLabel_ = nullptr;
};

}   // namespace tarnwick
