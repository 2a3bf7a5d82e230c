// UserDataListView: the list of a user-data dialog: one row per record of the dialog's working database
// that passes the view's filters, the record's name in the name column, which takes the width left.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>

#include "Interface/ListControl.h"
#include "Styles/UserDataFlatControl.h"

namespace tarnwick {

// A control of its panel like any list. Rows, user data and selection follow the list control's rules.
template <typename Database>
class UserDataListView : public UserDataFlatControl<Database, ListControl>, public ListControl {
public:
    using iterator = ListControl::iterator;
    using const_iterator = ListControl::const_iterator;
    using Entry = typename Database::Entry;
    using ListControl::begin;
    using ListControl::end;
    using ListControl::rbegin;

    UserDataListView(const ControlLink& link, std::uint16_t nameColumn, std::uint16_t columnCount)
        : ListControl(link, 0, static_cast<std::int16_t>(std::max<std::uint16_t>(columnCount, 1)),
                      ColumnProperty(0, 1.0)),
          nameColumn_(nameColumn),
          columnCount_(std::max<std::uint16_t>(columnCount, 1)) {
        setColumnProperties(ColumnProperty(0, 1.0), static_cast<std::int16_t>(nameColumn_));
    }

    std::unique_ptr<DialogControl> clone() const override {
        return std::make_unique<UserDataListView>(*this);
    }

    // Empties the list and fills it again with drawing held off; a record asked for is shown when the
    // database has it (the lookup never makes one).
    iterator fill(Database& database, const Guid& key, const iterator& at) override {
        enableDraw(false);
        setDimensions(0, static_cast<std::int16_t>(columnCount_));
        iterator result = UserDataFlatControl<Database, ListControl>::fill(database, key, at);
        if (const auto record = database.findRecord(key)) this->entryShown(Entry(key, record), result);
        enableDraw(true);
        return result;
    }
    std::uint16_t getNameColumn() const override { return nameColumn_; }

protected:
    ListControl& getControl() override { return *this; }

private:
    std::uint16_t nameColumn_;
    std::uint16_t columnCount_;
};

}   // namespace tarnwick
