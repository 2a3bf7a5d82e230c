// UserDataFlatControl: the fill of a one-level list of the records of a user database, in the order of
// their names.
#pragma once

#include "Foundation/Guid.h"
#include "Styles/UserDataControl.h"

namespace tarnwick {

template <typename Database, typename Control>
class UserDataFlatControl : public UserDataControl<Database, Control> {
public:
    using Base = UserDataControl<Database, Control>;
    using Entry = typename Base::Entry;
    using iterator = typename Base::iterator;

    // Appends a row per record that passes the filters (the record of key also when the bypass is set),
    // in the order of names compared in lower case. Then selects the row of key, else the row where `at`
    // stood, else the last row; nothing when key is null and `at` is the end. Returns the row of key, or
    // the end.
    iterator fill(Database& database, const Guid& key, const iterator& at) override {
        Control& list = this->getControl();
        this->clearRowKeys();
        iterator result = list.end();
        iterator last = list.end();
        for (const Entry& entry : this->getEntries(database)) {
            if (!entry.second) continue;
            const bool requested = key.isValid() && entry.first == key;
            if (!(requested && this->getFilterBypass()) && !this->passes(entry)) continue;
            iterator row = this->appendRecord(entry, nullptr);
            if (row == list.end()) continue;
            this->setRowKey(entry.first, row->getUserData());
            if (requested) result = row;
            last = row;
        }
        const auto* given = at.getNode();
        const bool givenAtEnd = given == nullptr || given->getRow() < 0;
        if (key.isValid() || !givenAtEnd) {
            if (result != list.end())
                list.select(true, result->getRow());
            else if (!givenAtEnd && given->getRow() < list.getRowCount())
                list.select(true, given->getRow());
            else if (last != list.end())
                list.select(true, last->getRow());
        }
        return result;
    }
};

}   // namespace tarnwick
