// XMLArray: an XML list element of records. It owns its items and, while reading, makes a new item for
// every child element named by its item tag.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "Foundation/Vector.h"
#include "Foundation/XMLAssembly.h"

namespace tarnwick {

// Derived lists name the item kind in makeItem. Their own fixed children (attributes such as a name)
// come first, through the child table and makeChildProxy; the items follow them in list order.
class XMLArray : public XMLAssembly {
public:
    XMLArray(std::string_view tag, std::string_view itemTag);
    ~XMLArray() override;

    std::string_view getItemTag() const { return itemTag_; }
    std::size_t getItemCount() const { return items_.size(); }
    // The item at index, still owned by the list. Throws TracedException "out_of_range" past the end.
    XMLAssembly& getItem(std::size_t index) const;
    XMLAssembly& addItem(std::unique_ptr<XMLAssembly> item);      // appended; null is not accepted
    std::unique_ptr<XMLAssembly> removeItem(std::size_t index);   // throws "out_of_range" past the end

    void clear() override;   // deletes every item
    std::size_t getChildCount() const override;
    // The item tag appends a new item from makeItem (never for an attribute); other names go to the table.
    std::unique_ptr<XMLProxy> findChild(std::string_view name, bool attribute) override;

protected:
    XMLArray(const XMLArray& other);   // deep: every item is cloned
    XMLArray& operator=(const XMLArray& other);

    virtual std::unique_ptr<XMLAssembly> makeItem() = 0;   // a new, empty item of the list's kind
    // Children past the table are the items; a derived override hands those indexes on to this one.
    std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override;

private:
    void copyItems(const XMLArray& other);

    std::string_view itemTag_;
    Vector<XMLAssembly> items_;
};

}   // namespace tarnwick
