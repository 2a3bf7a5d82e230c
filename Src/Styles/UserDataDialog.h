// UserDataDialog: the modal dialog that edits a user database of the project (the styles): it works on
// copies of the project's database and of its deleted-records database, lets the user insert, rename,
// delete, restore, import and export records, and files the copies back into the project on OK.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "Environment/Addon.h"
#include "Environment/Host.h"
#include "Environment/ItemEvent.h"
#include "Environment/ItemMessage.h"
#include "Environment/ResizeEvent.h"
#include "Foundation/DataBufferIn.h"
#include "Foundation/DataBufferOut.h"
#include "Foundation/DataFile.h"
#include "Foundation/Guid.h"
#include "Foundation/String.h"
#include "Foundation/StringSetting.h"
#include "Interface/ActionEvent.h"
#include "Interface/ActionSubscriber.h"
#include "Interface/Button.h"
#include "Interface/ConfirmAlert.h"
#include "Interface/Dialog.h"
#include "Interface/EditText.h"
#include "Interface/ErrorAlert.h"
#include "Interface/ItemSubscriber.h"
#include "Interface/ResizeSubscriber.h"
#include "Interface/StaticText.h"
#include "Project/Project.h"
#include "Styles/DeletedDatabase.h"
#include "Styles/EditAttribute.h"
#include "Styles/UserDataListView.h"
#include "Styles/UserDataStatusMenu.h"
#include "Styles/UserDatabaseCollection.h"

namespace tarnwick {

// Database is a UserDatabase with a default constructor. Built and run on the stack of whoever opens
// it; its controls exist while it is open. The working copies belong to the dialog: the project sees
// them only through the copies filed on OK, and Cancel discards them. A project without the database's
// package gives an empty working copy; one without a deleted-records package gives the dialog none.
template <typename Database>
class UserDataDialog : public Dialog {
public:
    using RecordPtr = typename Database::RecordPtr;
    using Entry = typename Database::Entry;
    using FilterList = typename Database::FilterList;
    using View = UserDataListView<Database>;
    using iterator = ListControl::iterator;

    // Items of the dialog resource.
    static constexpr std::uint16_t kInsertItem = 4;
    static constexpr std::uint16_t kDeleteItem = 5;
    static constexpr std::uint16_t kRestoreItem = 6;
    static constexpr std::uint16_t kImportItem = 7;
    static constexpr std::uint16_t kExportItem = 8;
    static constexpr std::uint16_t kStatusItem = 9;
    static constexpr std::uint16_t kStatusTextItem = 10;
    static constexpr std::uint16_t kNameItem = 11;

    static constexpr std::int16_t kUserDataStrings = 32703;

    UserDataDialog(std::uint16_t resourceId, const String& title, bool withDeletedRecords)
        : Dialog(resourceId, /*modal=*/true), title_(title) {
        Project* project = Host::getProject();
        if (auto* found =
                project ? dynamic_cast<Database*>(project->getPackage(Database().getPackageCode())) : nullptr)
            database_ = found->copyFiltered(nullptr);
        else
            database_ = std::make_unique<Database>();   // nothing to list, nothing fails
        if (withDeletedRecords && project != nullptr)
            if (auto* found = dynamic_cast<DeletedDatabase*>(project->getPackage(DeletedDatabase::kCode)))
                deletedDatabase_ = found->copyFiltered(nullptr);
    }
    ~UserDataDialog() override = default;

    // --- Hooks of the panel ----------------------------------------------------------------------------
    void initialise() override {
        createControls();
        initControls();
        attachHandlers();
        refresh(Guid(), iterator());
    }

    // OK: the first selected current record becomes the current one, and both working copies are filed
    // in the project (also with nothing selected), which the add-on then writes.
    void close(const ActionEvent&) override {
        if (view_ != nullptr) {
            const Entry selected = getSelectedEntry(view_->begin(0));
            if (selected.first.isValid() && database_->findRecord(selected.first, /*skipDeleted=*/true))
                database_->setCurrentKey(selected.first);
        }
        if (Project* project = Host::getProject()) {
            project->addPackage(*database_, /*notify=*/true);
            if (deletedDatabase_) project->addPackage(*deletedDatabase_, /*notify=*/true);
        }
        if (Addon* addon = Addon::getInstance()) addon->savePreferences(0);
    }

    void detach() override {   // the controls go with the closed dialog
        view_ = nullptr;
        nameField_ = nullptr;
        statusMenu_ = nullptr;
        statusText_ = nullptr;
        Dialog::detach();
    }

    // --- Own operations ----------------------------------------------------------------------------------
    // The key and record of the first selected row at or after row; an empty entry when none.
    virtual Entry getSelectedEntry(const iterator& row) {
        const auto* node = row.getNode();
        if (view_ == nullptr || node == nullptr || node->getRow() < 0) return {};
        const std::uint16_t selected = view_->getSelected(node->getRow());
        if (selected == ListControl::kNone) return {};
        const Guid key = keyOfRow(rowAt(static_cast<std::int16_t>(selected)));
        return {key, getRecord(key)};
    }
    virtual void beforeChange() {}
    virtual bool getImportFilters(FilterList&) { return true; }   // false cancels the import silently
    virtual bool getExportFilters(FilterList&) { return true; }
    virtual void getSelectedEntries(std::vector<Entry>& entries) {
        if (view_ == nullptr) return;
        for (auto row = view_->begin(2); row != view_->end(); ++row) {
            const Guid key = keyOfRow(row);
            entries.emplace_back(key, getRecord(key));
        }
    }
    virtual std::uint16_t getNameColumn() const { return 0; }
    Database& getDatabase() { return *database_; }
    DeletedDatabase* getDeletedDatabase() { return deletedDatabase_.get(); }
    void setDatabase(std::unique_ptr<Database> database) {
        if (database) database_ = std::move(database);
    }
    // The working database's record of key; a valid key without one gets a deleted "Missing " placeholder.
    virtual RecordPtr getRecord(const Guid& key) { return database_->findOrCreateRecord(key); }
    // The key of a record named name other than excluded: one that is not deleted when there is such a
    // record, else the first in key order; the null key when none.
    virtual Guid findKeyByName(const String& name, const Guid& excluded) const {
        Guid deleted;
        for (const auto& [key, record] : *database_) {
            if (!record || key == excluded || !(record->getName() == name)) continue;
            if (!record->isDeleted()) return key;
            if (!deleted.isValid()) deleted = key;
        }
        return deleted;
    }
    virtual std::int16_t getStringListId() const = 0;
    virtual std::int16_t getFileTypeIndex() const = 0;
    virtual String getFileExtension() const { return "xml"; }

    // Whether the record of key may take name (blanks around it do not count): never an empty name nor
    // one a current record holds (said in an alert unless quiet); a deleted holder gives the name up by
    // the database's own naming rule (a type whose names may repeat lets it keep the name).
    virtual bool checkName(const Guid& key, const String& name, bool quiet) {
        String trimmed = name;
        trimmed.trim(" \t\r\n");
        if (trimmed.isEmpty()) return false;
        const RecordPtr holder = database_->findRecord(findKeyByName(trimmed, key));
        if (!holder) return true;
        if (!holder->isDeleted()) {
            if (!quiet) {
                String message = Host::getString(kUserDataStrings, kNameUsedItem);
                message.replaceAll("$1", trimmed);
                ErrorAlert().show(message);
            }
            return false;
        }
        database_->ensureUniqueName(holder, /*givesNameUp=*/true);
        return true;
    }

    virtual void createControls() {
        DialogControl::make<Button>(ControlLink(1, this));
        DialogControl::make<Button>(ControlLink(2, this));
        for (std::uint16_t item : {kInsertItem, kDeleteItem, kRestoreItem, kImportItem, kExportItem})
            DialogControl::make<Button>(ControlLink(item, this));
        statusMenu_ = &DialogControl::make<UserDataStatusMenu>(ControlLink(kStatusItem, this));
        statusText_ = &DialogControl::make<StaticText>(ControlLink(kStatusTextItem, this));
        nameField_ = &DialogControl::make<EditText>(ControlLink(nameItem_, this));
        if (!usesRecordStatus()) {
            findControl(kRestoreItem)->setVisible(false);
            statusMenu_->setVisible(false);
            statusText_->setVisible(false);
        } else {
            installStatusFilter(*statusMenu_);
        }
    }
    virtual void installStatusFilter(UserDataStatusMenu& popup) = 0;
    virtual void initControls() {
        if (usesRecordStatus()) statusMenu_->fill(UserDataStatusMenu::kCurrent);
    }
    virtual void attachHandlers() {
        findControl(kInsertItem)->subscribe(insertAttribute_);
        findControl(kDeleteItem)->subscribe(deleteAttribute_);
        findControl(kImportItem)->subscribe(importAttribute_);
        findControl(kExportItem)->subscribe(exportAttribute_);
        if (view_ != nullptr) view_->subscribe(changeSelection_);
        nameField_->subscribe(editName_);
        if (usesRecordStatus()) {
            findControl(kRestoreItem)->subscribe(restoreAttribute_);
            statusMenu_->subscribe(changeStatus_);
        }
        subscribe(resizeDialog_);
    }
    // After a resize by delta: OK and Cancel, the status popup and its text move with the corner, the
    // list grows, the action buttons follow sideways only. The name field lies on the list's rows.
    virtual void moveBy(const ScreenPoint& delta) {
        if (movesCloseButtons())
            for (std::uint16_t item : {std::uint16_t{1}, std::uint16_t{2}})
                if (DialogControl* button = findControl(item)) button->moveBy(delta);
        if (statusMenu_ != nullptr) statusMenu_->moveBy(delta);
        if (statusText_ != nullptr) statusText_->moveBy(delta);
        if (view_ != nullptr) view_->growBy(delta);
        const ScreenPoint sideways(delta.x, 0, delta.kind);
        for (std::uint16_t item : {kInsertItem, kDeleteItem, kRestoreItem, kImportItem, kExportItem})
            if (DialogControl* button = findControl(item)) button->moveBy(sideways);
    }
    virtual void updateLayout() {}
    virtual bool movesCloseButtons() const { return true; }
    // Lays out, refills the list on key (row as the fallback) and updates the buttons; the row of key.
    virtual iterator refresh(const Guid& key, const iterator& row) {
        updateLayout();
        iterator result = fillView(key, row);
        updateButtons();
        return result;
    }
    // Restore only for a deleted first selection; delete for any selection when records can be removed
    // for good, else for a current one; export when there is a record.
    virtual void updateButtons() {
        if (view_ == nullptr) return;
        const iterator first = view_->begin(2);
        const bool selected = first != view_->end();
        const RecordPtr record = selected ? getRecord(keyOfRow(first)) : nullptr;
        const bool deleted = record && record->isDeleted();
        if (DialogControl* restore = findControl(kRestoreItem)) restore->setEnabled(deleted);
        if (DialogControl* remove = findControl(kDeleteItem))
            remove->setEnabled(deletedDatabase_ ? selected : (record && !deleted));
        if (DialogControl* exporter = findControl(kExportItem)) exporter->setEnabled(database_->size() != 0);
    }
    void setView(View* view) { view_ = view; }
    View* getView() const { return view_; }
    void setNameItem(std::uint16_t item) { nameItem_ = item; }
    EditText* getNameField() const { return nameField_; }
    std::uint16_t getNameItem() const { return nameItem_; }
    const String& getTitleWord() const { return title_; }

    virtual void getFileTypes(std::vector<String>& names, std::vector<String>& extensions,
                              bool /*exporting*/) {
        names.push_back(Host::getString(getStringListId(), getFileTypeIndex()));
        extensions.push_back(getFileExtension());
    }
    virtual iterator fillView(const Guid& key, const iterator& row) = 0;
    // A new record: a copy of the row's record under a unique name (current even when its source is
    // deleted), or an empty one named "Untitled" without a row. Its key.
    virtual Guid createRecordFromRow(const iterator& row) {
        const Guid key = database_->createRecord(keyOfRow(row), String(), Guid());
        if (const RecordPtr record = database_->findRecord(key)) record->setDeleted(false);
        return key;
    }
    virtual void markRow(const iterator& row, bool deleted) { database_->markRecord(keyOfRow(row), deleted); }
    virtual void createProxy(UserDatabaseCollection& collection, bool copy, const FilterList& filters) {
        database_->createProxy(collection, copy, filters);
    }
    virtual bool importFile(UserDatabaseCollection& collection, DataFile& file, const String& typeName,
                            const String& extension) {
        if (!isOwnFileType(typeName, extension)) return false;
        DataBufferIn in(file);
        String error;
        return collection.read(in, error);
    }
    virtual bool exportFile(UserDatabaseCollection& collection, DataFile& file, const String& typeName,
                            const String& extension) {
        if (!isOwnFileType(typeName, extension)) return false;
        DataBufferOut out;
        return out.open(file) && collection.write(out) && out.close();
    }
    // The database read into the collection becomes the working copy; false when there is none.
    virtual bool adoptDatabase(UserDatabaseCollection& collection) {
        std::unique_ptr<Package> package = collection.takePackage(database_->getPackageCode());
        auto* database = dynamic_cast<Database*>(package.get());
        if (database == nullptr) return false;
        package.release();
        setDatabase(std::unique_ptr<Database>(database));
        return true;
    }
    // Removes a deleted record for good, leaving its key in the deleted-records database.
    virtual void removeRow(const iterator& row) {
        const Guid key = keyOfRow(row);
        if (!deletedDatabase_ || !getRecord(key)) return;
        auto removed = deletedDatabase_->findRecord(key);
        if (!removed) {
            deletedDatabase_->createDeletedRecord(Guid(), key);
            removed = deletedDatabase_->findRecord(key);
        }
        if (!removed) return;
        if (removed->getPackageCode() != database_->getPackageCode()) {
            removed->beforePackageChange();
            removed->setPackageCode(database_->getPackageCode());
        }
        removed->setDeleted(false);
        database_->erase(key);
    }
    // Records removed for good that an import brought back are marked so in the deleted-records database.
    virtual void reconcileDeleted() {
        if (!deletedDatabase_) return;
        for (const auto& [key, removed] : deletedDatabase_->recordsOfPackage(database_->getPackageCode()))
            if (removed && database_->findRecord(key)) removed->setDeleted(true);
    }
    virtual bool usesRecordStatus() const { return true; }

    // The record a row shows; the null key at the end or for a row of no record.
    Guid keyOfRow(const iterator& row) const { return view_ != nullptr ? view_->keyOfRow(row) : Guid(); }

    // --- What the handlers do ----------------------------------------------------------------------------
    void insertRecord() {
        beforeChange();
        const Guid key = createRecordFromRow(view_ != nullptr ? view_->begin(2) : iterator());
        focusOnName(refresh(key, iterator()));
    }
    void deleteRecords() {
        beforeChange();
        if (view_ == nullptr) return;
        const iterator first = view_->begin(2);
        std::vector<iterator> toMark, toRemove;
        for (auto row = view_->begin(2); row != view_->end(); ++row) {
            const RecordPtr record = getRecord(keyOfRow(row));
            if (!record) continue;
            if (!record->isDeleted())
                toMark.push_back(row);
            else if (deletedDatabase_)
                toRemove.push_back(row);
        }
        for (const iterator& row : toMark) markRow(row, true);
        if (!toRemove.empty() &&
            ConfirmAlert(title_).ask(Host::getString(kUserDataStrings, kConfirmRemoveItem)) == 1)
            for (const iterator& row : toRemove) removeRow(row);
        focusOnName(refresh(Guid(), first));
    }
    void restoreRecords() {
        beforeChange();
        if (view_ == nullptr) return;
        const iterator first = view_->begin(2);
        for (auto row = view_->begin(2); row != view_->end(); ++row) markRow(row, false);
        focusOnName(refresh(Guid(), first));
    }
    void importRecords() {
        beforeChange();
        FilterList filters;
        if (!getImportFilters(filters)) return;
        String title = Host::getString(kUserDataStrings, kImportTitleItem);
        title.replaceAll("$1", title_);
        std::vector<String> names, extensions;
        getFileTypes(names, extensions, /*exporting=*/false);
        if (names.empty() || names.size() != extensions.size()) return;
        std::size_t chosen = names.size();
        const std::unique_ptr<DataFile> file = DataFile::browseToOpen(title, names, extensions, chosen);
        if (!file || chosen >= names.size()) return;
        // The file is read into a copy; the working database changes only when all of it was read.
        UserDatabaseCollection collection;
        createProxy(collection, /*copy=*/true, filters);
        if (!importFile(collection, *file, names[chosen], extensions[chosen]) || !adoptDatabase(collection)) {
            ErrorAlert().show(Host::getString(kUserDataStrings, kUnreadableItem));
            return;
        }
        reconcileDeleted();
        if (view_ != nullptr) view_->deselectAll();
        refresh(Guid(), iterator());
    }
    void exportRecords() {
        FilterList filters;
        if (!getExportFilters(filters)) return;
        String title = Host::getString(kUserDataStrings, kExportTitleItem);
        title.replaceAll("$1", title_);
        std::vector<String> names, extensions;
        getFileTypes(names, extensions, /*exporting=*/true);
        if (names.empty() || names.size() != extensions.size()) return;
        std::size_t chosen = names.size();
        const std::unique_ptr<DataFile> file = DataFile::browseToSave(title, names, extensions, chosen);
        if (!file || chosen >= names.size()) return;
        UserDatabaseCollection collection;
        createProxy(collection, /*copy=*/false, filters);   // every record of the working database
        if (!exportFile(collection, *file, names[chosen], extensions[chosen]))
            ErrorAlert().show(Host::getString(kUserDataStrings, kUnwritableItem));
    }
    void changeStatus() {
        beforeChange();
        if (view_ != nullptr) view_->deselectAll();
        refresh(Guid(), iterator());
    }
    // The first selected record takes the name field's text when checkName accepts it.
    bool renameSelected(const Entry& entry) {
        if (!entry.second || nameField_ == nullptr) return false;
        String name = nameField_->getText();
        if (!checkName(entry.first, name, /*quiet=*/false)) return false;
        name.trim(" \t\r\n");
        entry.second->setName(name);
        beforeChange();
        // The refill shows the record's list name; its row takes the name itself.
        const iterator row = refresh(entry.first, iterator());
        if (row.getNode() != nullptr && row.getNode()->isValid())
            row->setSetting(StringSetting(name), static_cast<std::int16_t>(getNameColumn()));
        return true;
    }
    void resized(const ResizeEvent& event) {
        if (event.getPhase() == ResizeEvent::kResized &&
            (event.getHorizontalChange() != 0 || event.getVerticalChange() != 0))
            moveBy(ScreenPoint(static_cast<std::int16_t>(event.getHorizontalChange()),
                               static_cast<std::int16_t>(event.getVerticalChange())));
        else if (event.getPhase() == ResizeEvent::kEnd)
            updateLayout();
    }

protected:
    static constexpr std::int32_t kNameUsedItem = 10;        // "The name '$1' has already been used ..."
    static constexpr std::int32_t kImportTitleItem = 11;     // "$1 Import"
    static constexpr std::int32_t kExportTitleItem = 12;     // "$1 Export"
    static constexpr std::int32_t kUnreadableItem = 14;      // "The data file couldn't be read. ..."
    static constexpr std::int32_t kUnwritableItem = 15;      // "The data file couldn't be written. ..."
    static constexpr std::int32_t kConfirmRemoveItem = 24;   // "Permanently deleted records ..."

    iterator rowAt(std::int16_t row) const {
        return iterator(std::make_unique<ListControl::Node>(view_, row), 0);
    }

private:
    // A handler of a button: finds its dialog through the event's panel and runs one of its actions.
    class ButtonHandler final : public ActionSubscriber {
    public:
        explicit ButtonHandler(void (UserDataDialog::*action)()) : action_(action) {}
        bool handle(const ActionEvent& event) override {
            auto* dialog = dynamic_cast<UserDataDialog*>(event.getLink().getPanel());
            if (dialog == nullptr) return false;
            sendItemMessage(event, std::make_shared<ItemMessage>());
            (dialog->*action_)();
            return true;
        }

    private:
        void (UserDataDialog::*action_)();
    };

    // A handler of a popup's or the list's item events.
    class ItemHandler final : public ItemSubscriber {
    public:
        explicit ItemHandler(void (UserDataDialog::*action)()) : action_(action) {}
        bool handle(const ItemEvent& event) override {
            auto* dialog = dynamic_cast<UserDataDialog*>(event.getLink().getPanel());
            if (dialog == nullptr) return false;
            sendItemMessage(event, std::make_shared<ItemMessage>());
            (dialog->*action_)();
            return true;
        }

    private:
        void (UserDataDialog::*action_)();
    };

    // Renames the first selected record when the user changes the name field's text.
    class EditName final : public EditAttribute<UserDataDialog> {
    public:
        EditName() : EditAttribute<UserDataDialog>(/*firstOnly=*/true, /*lookInParent=*/true) {}
        bool applyEdit(UserDataDialog& dialog, const Entry& entry) override {
            return dialog.renameSelected(entry);
        }
    };

    class ResizeDialog final : public ResizeSubscriber {
    public:
        bool handle(const ResizeEvent& event) override {
            auto* dialog = dynamic_cast<UserDataDialog*>(event.getLink().getPanel());
            if (dialog == nullptr) return false;
            const bool moved = event.getPhase() == ResizeEvent::kResized &&
                               (event.getHorizontalChange() != 0 || event.getVerticalChange() != 0);
            if (!moved && event.getPhase() != ResizeEvent::kEnd) return false;
            sendItemMessage(event, std::make_shared<ItemMessage>());
            dialog->resized(event);
            return true;
        }
    };

    void focusOnName(const iterator& row) {
        if (nameField_ != nullptr && row.getNode() != nullptr && row.getNode()->isValid())
            nameField_->setFocus();
    }
    bool isOwnFileType(const String& typeName, const String& extension) const {
        return typeName == Host::getString(getStringListId(), getFileTypeIndex()) &&
               extension == getFileExtension();
    }

    ButtonHandler insertAttribute_{&UserDataDialog::insertRecord};
    ButtonHandler deleteAttribute_{&UserDataDialog::deleteRecords};
    ButtonHandler restoreAttribute_{&UserDataDialog::restoreRecords};
    ButtonHandler importAttribute_{&UserDataDialog::importRecords};
    ButtonHandler exportAttribute_{&UserDataDialog::exportRecords};
    ItemHandler changeStatus_{&UserDataDialog::changeStatus};
    EditName editName_;
    ItemHandler changeSelection_{&UserDataDialog::updateButtons};
    ResizeDialog resizeDialog_;

    std::unique_ptr<Database> database_;
    std::unique_ptr<DeletedDatabase> deletedDatabase_;
    String title_;           // the record-type word of messages and file dialogs
    View* view_ = nullptr;   // the controls belong to the panel while the dialog is open
    EditText* nameField_ = nullptr;
    UserDataStatusMenu* statusMenu_ = nullptr;
    StaticText* statusText_ = nullptr;
    std::uint16_t nameItem_ = kNameItem;
};

}   // namespace tarnwick
