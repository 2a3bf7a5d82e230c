// UserDataControl: a control that lists the records of a user database, one row per record: which record
// each row shows (by the row's user data), the row's name and style, and finding a record's row again.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "Foundation/Colour.h"
#include "Foundation/Guid.h"
#include "Foundation/StringSetting.h"
#include "Project/TextStyle.h"
#include "Styles/UserDataFilteredControl.h"

namespace tarnwick {

class DialogControl;

// Control is the list control (ListControl) that the concrete control also is; getControl gives it. A
// row's user data is its index + 1 at the time it was appended.
template <typename Database, typename Control>
class UserDataControl : public UserDataFilteredControl<Database> {
public:
    using Entry = typename Database::Entry;
    using iterator = typename Control::iterator;

    static constexpr std::int64_t kNoRow = -3;                // user data no row carries
    static constexpr std::int64_t kNoRecord = -4;             // asks selectByUserData for nothing
    static constexpr double kRowTextSize = 4.2333333333336;   // millimetres

    // Virtual operations, in this order.
    // Refills the list from the database's records that pass the filters and selects the row of key (or
    // else the row of `at`, or else the last row); returns the row of key, or the end.
    virtual iterator fill(Database& database, const Guid& key, const iterator& at) = 0;
    // Selects and gives the row of key (of fallback when key is null); the end when it has none.
    virtual iterator findRow(const Guid& key, const Guid& fallback) {
        const Guid& wanted = key.isValid() ? key : fallback;
        if (wanted.isValid())
            for (const auto& [userData, rowKey] : rowKeys_)
                if (rowKey == wanted) return selectByUserData(userData);
        return selectByUserData(kNoRow);
    }
    // A deleted record's row in style code 2, a highlighted one in red. True when either applied.
    virtual bool getRecordStyle(const Entry& entry, TextStyle& style) const {
        bool changed = false;
        if (entry.second && entry.second->isDeleted()) {
            style.setItalic(true);   // style code bit 2: the list's style of deleted rows
            changed = true;
        }
        if (entry.second && entry.second->isHighlighted()) {
            style.setColour(Colour(1.0, 0.0, 0.0, 1.0));
            changed = true;
        }
        return changed;
    }
    // Selects the first row whose user data is value; the end for kNoRecord or no such row.
    virtual iterator selectByUserData(std::int64_t value) {
        Control& list = getControl();
        if (value == kNoRecord) return list.end();
        for (std::int16_t row = 0; row < list.getRowCount(); ++row) {
            if (list.getUserData(row) != value) continue;
            list.select(true, row);
            return rowAt(row);
        }
        return list.end();
    }
    virtual std::uint16_t getNameColumn() const = 0;
    virtual void clearRowKeys() { rowKeys_.clear(); }
    virtual void setRowKey(const Guid& key, std::int64_t userData) { rowKeys_[userData] = key; }
    // Appends a row for the entry's record, named by name (by its list name when null); the end when the
    // entry has no record or no row could be added.
    virtual iterator appendRecord(const Entry& entry, const String* name) {
        Control& list = getControl();
        if (!entry.second || !list.appendRows(1) || list.getRowCount() == 0) return list.end();
        const auto row = static_cast<std::int16_t>(list.getRowCount() - 1);
        iterator at = rowAt(row);
        at->setSetting(StringSetting(name ? *name : entry.second->getListName()),
                       static_cast<std::int16_t>(getNameColumn()));
        at->setUserData(std::int64_t{row} + 1);
        TextStyle style(0, kRowTextSize);
        if (getRecordStyle(entry, style)) at->setStyle(style, 0);
        entryShown(entry, at);
        return at;
    }
    virtual std::vector<Entry> getEntries(const Database& database) const { return database.entries(); }
    // Makes editor the name column's editor (kind 0) and lays the columns out; nothing without one.
    virtual void setNameEditor(DialogControl* editor) {
        if (editor == nullptr) return;
        getControl().setFieldEditor(editor, static_cast<std::int16_t>(getNameColumn()), 0);
        getControl().applyColumns();
    }
    virtual void entryShown(const Entry& /*entry*/, const iterator& /*row*/) {}

    // The key of the record a row shows; null at the end or for a row the last fill did not make.
    Guid keyOfRow(const iterator& row) const {
        const auto* node = row.getNode();
        if (node == nullptr || !node->isValid()) return Guid();
        const std::int64_t userData = node->getUserData();
        if (userData < 0) return Guid();
        const auto found = rowKeys_.find(userData);
        return found == rowKeys_.end() ? Guid() : found->second;
    }

protected:
    virtual Control& getControl() = 0;
    iterator rowAt(std::int16_t row) {
        return iterator(std::make_unique<typename Control::Node>(&getControl(), row), 0);
    }

private:
    std::map<std::int64_t, Guid> rowKeys_;
};

}   // namespace tarnwick
