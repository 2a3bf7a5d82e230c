#include "Styles/PresetDialog.h"

#include <map>
#include <memory>

#include "Environment/Addon.h"
#include "Environment/Host.h"
#include "Environment/ItemEvent.h"
#include "Environment/ItemMessage.h"
#include "Foundation/DataBufferIn.h"
#include "Interface/NotifyAlert.h"
#include "Styles/PresetTypeFilter.h"

namespace tarnwick {
namespace {
constexpr std::int16_t kMinimumWidth = 468;
constexpr std::int16_t kMinimumHeight = 363;
}   // namespace

PresetDialog::PresetDialog()
    : UserDataListDialog(kDialogId, Host::getString(kStyleStrings, kStyleWordItem), /*nameColumn=*/0,
                         /*columnCount=*/1, /*withDeletedRecords=*/false) {}

PresetDialog::~PresetDialog() = default;

void PresetDialog::initialise() {
    // 1. and 2.
    const Addon* addon = Addon::getInstance();
    const String name = addon != nullptr ? addon->getName() : Addon::getNameOfLastMade();
    if (!name.isEmpty()) setTitle(name + String(" ") + getTitle());
    setMinimumSize(ScreenPoint(kMinimumWidth, kMinimumHeight));
    // 3. and 4.
    typePopup_ = &DialogControl::make<PopupMenu>(ControlLink(kTypeItem, this), 0, PopupMenu::kDialogStyle);
    typeLabel_ = &DialogControl::make<StaticText>(ControlLink(kTypeLabelItem, this));
    setViewItem(kListItem);
    UserDataListDialog::initialise();
    // 5.
    if (View* view = getView()) view->addFilter(std::make_shared<PresetTypeFilter>(*typePopup_, nullptr));
    typePopup_->subscribe(typePicker_);
    refresh(Guid(), iterator());
}

void PresetDialog::detach() {
    typePopup_ = nullptr;
    typeLabel_ = nullptr;
    UserDataListDialog::detach();
}

void PresetDialog::moveBy(const ScreenPoint& delta) {
    if (typePopup_ != nullptr) typePopup_->moveBy(delta);
    if (typeLabel_ != nullptr) typeLabel_->moveBy(delta);
    UserDataListDialog::moveBy(delta);
}

void PresetDialog::getFileTypes(std::vector<String>& names, std::vector<String>& extensions, bool exporting) {
    UserDataListDialog::getFileTypes(names, extensions, exporting);
    if (exporting) return;
    names.push_back(Host::getString(kStyleStrings, kLegacyFileItem));
    extensions.push_back("dat");
}

bool PresetDialog::importFile(UserDatabaseCollection& collection, DataFile& file, const String& typeName,
                              const String& extension) {
    auto* database = dynamic_cast<PresetDatabase*>(collection.findPackage(PresetDatabase::kCode));
    // What the database held, to count what the file brought: new styles and the styles it replaced.
    // The records are held, not just their addresses: a replaced one freed during the import could
    // otherwise lend its address to a later one and go uncounted.
    std::map<Guid, std::shared_ptr<const PresetRecord>> before;
    if (database != nullptr)
        for (const auto& [key, record] : *database) before.emplace(key, record);
    bool read = false;
    // 1. and 2.
    if (typeName == Host::getString(kStyleStrings, kLegacyFileItem) && extension == "dat") {
        if (database != nullptr) {
            DataBufferIn in(file);
            String error;
            std::size_t put = 0;
            read = database->importLegacyFile(in, error, put);
            if (typePopup_ != nullptr)
                PresetDatabase::findType(typePopup_->getSelectedText(), /*byTypeName=*/false);
        }
    } else {
        read = UserDataListDialog::importFile(collection, file, typeName, extension);
    }
    // 3. What the file brought, not what the database holds with it.
    std::size_t brought = 0;
    if (read && database != nullptr)
        for (const auto& [key, record] : *database) {
            const auto found = before.find(key);
            if (record && (found == before.end() || found->second != record)) ++brought;
        }
    if (brought != 0) {
        String message = Host::getString(Addon::kFrameworkStrings, kStylesImportedItem);
        message.replaceAll("$1", String(static_cast<std::uint64_t>(brought)));
        NotifyAlert().show(message);
    }
    return read;
}

void PresetDialog::pickType() {
    if (typePopup_ != nullptr) PresetDatabase::findType(typePopup_->getSelectedText(), /*byTypeName=*/false);
    refresh(Guid(), iterator());
}

bool PresetDialog::TypePicker::handle(const ItemEvent& event) {
    auto* dialog = dynamic_cast<PresetDialog*>(event.getLink().getPanel());
    if (dialog == nullptr) return true;
    sendItemMessage(event, std::make_shared<ItemMessage>());
    dialog->pickType();
    return true;
}

}   // namespace tarnwick
