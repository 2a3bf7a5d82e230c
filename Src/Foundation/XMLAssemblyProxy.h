// XMLAssemblyProxy: presents a record as one child element of another record, under a tag.
#pragma once

#include <string_view>

#include "Foundation/XMLAssembly.h"
#include "Foundation/XMLProxy.h"

namespace tarnwick {

// Borrows the record. An empty tag stands for the record's own tag. The child counts as present only
// when both the proxy's mark and the record's own present flag are set.
class XMLAssemblyProxy : public XMLProxy {
public:
    explicit XMLAssemblyProxy(XMLAssembly& target, std::string_view tag = {}, bool isAttribute = false,
                              std::string_view nameSpace = {}, bool present = true)
        : XMLProxy(tag.empty() ? target.getTag() : tag, isAttribute, nameSpace, present), target_(target) {}
    ~XMLAssemblyProxy() override = default;

    bool isPresent() const override;
    XMLAssembly* getRecord() override;   // never null

private:
    XMLAssembly& target_;
};

}   // namespace tarnwick
