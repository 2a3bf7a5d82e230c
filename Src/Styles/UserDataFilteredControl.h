// UserDataFilteredControl: the filters of a control that shows the records of a user database: a record is
// shown when every filter passes it.
#pragma once

#include <memory>
#include <utility>

namespace tarnwick {

// Database is a UserDatabase; its filters are shared with whoever made them (the dialog, the popups).
template <typename Database>
class UserDataFilteredControl {
public:
    using Filter = typename Database::Filter;
    using FilterList = typename Database::FilterList;
    using Entry = typename Database::Entry;

    UserDataFilteredControl() = default;
    UserDataFilteredControl(const UserDataFilteredControl&) = default;
    UserDataFilteredControl& operator=(const UserDataFilteredControl&) = default;
    virtual ~UserDataFilteredControl() = default;

    // Virtual operations, in this order.
    virtual void addFilter(std::shared_ptr<const Filter> filter) {
        if (filter) filters_.push_back(std::move(filter));
    }
    // Set: the fill shows the record it was asked for even when a filter refuses it.
    virtual void setFilterBypass(bool bypass) { bypass_ = bypass; }
    virtual bool passes(const Entry& entry) const {   // an empty list passes every record
        if (!entry.second) return false;
        for (const auto& filter : filters_)
            if (!filter->passes(entry.first, *entry.second)) return false;
        return true;
    }
    virtual bool hasFilters() const { return !filters_.empty(); }
    virtual bool getFilterBypass() const { return bypass_; }
    virtual void clearFilters() { filters_.clear(); }

private:
    FilterList filters_;
    bool bypass_ = false;
};

}   // namespace tarnwick
