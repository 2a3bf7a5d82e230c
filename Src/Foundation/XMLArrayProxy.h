// XMLArrayProxy: presents a list of records as one child element of another record, under a tag.
#pragma once

#include <string_view>

#include "Foundation/XMLAssemblyProxy.h"

namespace tarnwick {

class XMLArray;

// Borrows the list. An empty list is still present: it is written as an empty element.
class XMLArrayProxy : public XMLAssemblyProxy {
public:
    explicit XMLArrayProxy(XMLArray& target, std::string_view tag = {}, bool isAttribute = false,
                           std::string_view nameSpace = {}, bool present = true);
    ~XMLArrayProxy() override;

    XMLArray& getArray() const { return array_; }

private:
    XMLArray& array_;
};

}   // namespace tarnwick
