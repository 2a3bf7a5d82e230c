// ListControl::ProxyList: one FieldProxy per column of a list.
#pragma once

#include <cstdint>
#include <vector>

#include "Interface/FieldProxy.h"
#include "Interface/ListControl.h"

namespace tarnwick {

// Owned by its list; copies copy every proxy (sharing the editors).
class ListControl::ProxyList {
public:
    ProxyList(std::int32_t columns, std::int32_t rows);   // proxies without editors, both flags set
    ProxyList(const ProxyList&) = default;

    // Virtual operations, in this order.
    virtual ~ProxyList();
    virtual void eraseRows(std::int32_t first, std::int32_t count);    // in every column
    virtual void insertRows(std::int32_t first, std::int32_t count);   // in every column
    virtual void insertColumns(std::int32_t first, std::int32_t count);
    virtual void eraseColumns(std::int32_t first, std::int32_t count);

    std::size_t size() const { return proxies_.size(); }
    FieldProxy& operator[](std::size_t column) { return proxies_[column]; }
    const FieldProxy& operator[](std::size_t column) const { return proxies_[column]; }

private:
    static constexpr std::size_t kNewCapacity = 50;   // rows reserved by a column added later

    std::vector<FieldProxy> proxies_;
};

}   // namespace tarnwick
