// XMLPair: one item of a map: a Guid key and a value record under one tag.
#pragma once

#include <memory>
#include <string_view>

#include "Foundation/Guid.h"
#include "Foundation/XMLAssembly.h"
#include "Foundation/XMLUnitKey.h"

namespace tarnwick {

// Child 0 is the key (by its tag), child 1 the value record (by the record's tag). The value is either
// owned (reading, clone) or borrowed from the map being written; a borrowed one must outlive the pair.
class XMLPair : public XMLAssembly {
public:
    XMLPair(std::string_view tag, const XMLUnitKey<Guid>& key, std::unique_ptr<XMLAssembly> value);
    XMLPair(std::string_view tag, const XMLUnitKey<Guid>& key, XMLAssembly& value);
    ~XMLPair() override;

    const Guid& getKey() const { return key_.getValue(); }
    XMLAssembly& getValue() const { return *value_; }
    // Takes an owned value out; null when the value is borrowed or already taken.
    std::unique_ptr<XMLAssembly> releaseValue();

    std::unique_ptr<XMLAssembly> clone() const override;   // owns a clone of the value
    void clear() override;                                 // a null key and a cleared value
    bool isValid() override;                               // a pair needs a valid (non-null) key
    std::size_t getChildCount() const override { return 2; }
    std::unique_ptr<XMLProxy> findChild(std::string_view name, bool attribute) override;

protected:
    std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override;

private:
    XMLUnitKey<Guid> key_;
    std::unique_ptr<XMLAssembly> owned_;
    XMLAssembly* value_;   // owned_ or the borrowed value; null once released
};

}   // namespace tarnwick
