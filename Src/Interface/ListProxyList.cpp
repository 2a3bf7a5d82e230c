#include "Interface/ListProxyList.h"

#include <algorithm>

#include "Foundation/Setting.h"

namespace tarnwick {

ListControl::ProxyList::ProxyList(std::int32_t columns, std::int32_t rows) {
    for (std::int32_t i = 0; i < columns; ++i)
        proxies_.emplace_back(nullptr, static_cast<std::size_t>(std::max(rows, 0)));
}

ListControl::ProxyList::~ProxyList() = default;

void ListControl::ProxyList::eraseRows(std::int32_t first, std::int32_t count) {
    for (FieldProxy& proxy : proxies_) proxy.eraseRows(first, count);
}

void ListControl::ProxyList::insertRows(std::int32_t first, std::int32_t count) {
    for (FieldProxy& proxy : proxies_) proxy.insertRows(first, count);
}

void ListControl::ProxyList::insertColumns(std::int32_t first, std::int32_t count) {
    const auto columns = static_cast<std::int32_t>(proxies_.size());
    if (first > columns) {
        count += first - columns;
        first = columns;
    }
    if (first < 0) {
        count += first;
        first = 0;
    }
    if (count < 1) return;
    std::vector<FieldProxy> added;
    for (std::int32_t i = 0; i < count; ++i) added.emplace_back(nullptr, kNewCapacity);
    proxies_.insert(proxies_.begin() + first, std::make_move_iterator(added.begin()),
                    std::make_move_iterator(added.end()));
}

void ListControl::ProxyList::eraseColumns(std::int32_t first, std::int32_t count) {
    const auto columns = static_cast<std::int32_t>(proxies_.size());
    if (first >= columns) return;
    if (first < 0) {
        count += first;
        first = 0;
    }
    count = std::min(count, columns - first);
    if (count < 1) return;
    proxies_.erase(proxies_.begin() + first, proxies_.begin() + first + count);
}

}   // namespace tarnwick
