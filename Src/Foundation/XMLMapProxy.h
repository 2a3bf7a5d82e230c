// XMLMapProxy<V>: presents a map from Guid to records as one child element of another record, with one
// item element per entry in key order: the key as a value child, the record as an element child.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "Foundation/Guid.h"
#include "Foundation/Map.h"
#include "Foundation/TracedException.h"
#include "Foundation/XMLAssembly.h"
#include "Foundation/XMLPair.h"
#include "Foundation/XMLProxy.h"
#include "Foundation/XMLUnitKey.h"

namespace tarnwick {

// Borrows the map; V is a record with a default constructor. Written:
//     <tag><itemTag keyTag="GUID"><valueTag .../></itemTag>...</tag>
// Reading makes a new V for every item and stores it under its key at the item's end tag; an item whose
// key is missing or null fails the read, and a key met twice keeps the later value. Null values in the
// map are left out when writing.
template <typename V>
class XMLMapProxy : public XMLProxy {
public:
    using MapType = Map<Guid, V>;

    XMLMapProxy(MapType& target, std::string_view tag, std::string_view itemTag = "item",
                std::string_view keyTag = "key", std::string_view nameSpace = {}, bool present = true)
        : XMLProxy(tag, /*isAttribute=*/false, nameSpace, present), items_(target, tag, itemTag, keyTag) {}

    XMLAssembly* getRecord() override { return &items_; }

private:
    // Owns the pair it presents, so that a pair made for one item lives exactly as long as its element.
    class ItemProxy final : public XMLProxy {
    public:
        explicit ItemProxy(std::unique_ptr<XMLPair> pair)
            : XMLProxy(pair->getTag(), false), pair_(std::move(pair)) {}
        XMLAssembly* getRecord() override { return pair_.get(); }

    private:
        std::unique_ptr<XMLPair> pair_;
    };

    // A pair being read; at its end tag it moves its value into the map.
    class ReadPair final : public XMLPair {
    public:
        ReadPair(MapType& map, std::string_view tag, std::string_view keyTag)
            : XMLPair(tag, XMLUnitKey<Guid>(keyTag), std::make_unique<V>()), map_(map) {}
        bool isValid() override {
            if (!XMLPair::isValid()) return false;
            const Guid key = getKey();
            map_.set(key, std::unique_ptr<V>(static_cast<V*>(releaseValue().release())));
            return true;
        }

    private:
        MapType& map_;
    };

    // The map's element: its children are the entries.
    class Items final : public XMLAssembly {
    public:
        Items(MapType& map, std::string_view tag, std::string_view itemTag, std::string_view keyTag)
            : XMLAssembly(tag), map_(map), itemTag_(itemTag), keyTag_(keyTag), cursor_(map.begin()) {}

        // A view of a map has nothing of its own to copy; callers clone the records in the map.
        std::unique_ptr<XMLAssembly> clone() const override {
            throw TracedException("bad_access", "XMLMapProxy::clone");
        }
        void clear() override {
            map_.clear();
            XMLAssembly::clear();
        }
        std::size_t getChildCount() const override { return map_.size(); }
        std::unique_ptr<XMLProxy> findChild(std::string_view name, bool attribute) override {
            if (attribute || name != itemTag_) return nullptr;
            return std::make_unique<ItemProxy>(std::make_unique<ReadPair>(map_, itemTag_, keyTag_));
        }

    protected:
        std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override {
            if (index >= map_.size()) return nullptr;
            if (index == 0 || index < cursorIndex_) {   // the writer walks the indexes in order from 0
                cursor_ = map_.begin();
                cursorIndex_ = 0;
            }
            for (; cursorIndex_ < index; ++cursorIndex_) ++cursor_;
            const auto& [key, value] = *cursor_;
            ++cursor_;
            ++cursorIndex_;
            if (!value) return nullptr;
            return std::make_unique<ItemProxy>(
                std::make_unique<XMLPair>(itemTag_, XMLUnitKey<Guid>(keyTag_, key), *value));
        }

    private:
        MapType& map_;
        std::string_view itemTag_;
        std::string_view keyTag_;
        typename MapType::iterator cursor_;
        std::size_t cursorIndex_ = 0;
    };

    Items items_;
};

}   // namespace tarnwick
