// XMLParameterList: the custom parameters of a mapping as the table file holds them.
#pragma once

#include <memory>
#include <string_view>

#include "Foundation/XMLArray.h"
#include "Skellowing/XMLParameter.h"

namespace skellow {

// <customParameters><parameter .../>...</customParameters>. Owns its parameters; copyable through clone.
// At its end tag it drops the parameters that could not be used (XMLParameter::isUsable), so that one
// bad parameter costs only itself; it never fails the read.
class XMLParameterList : public tarnwick::XMLArray {
public:
    explicit XMLParameterList(std::string_view tag = "customParameters");
    XMLParameterList(const XMLParameterList& other);
    ~XMLParameterList() override;

    std::unique_ptr<tarnwick::XMLAssembly> clone() const override;
    bool isValid() override;

    std::size_t size() const { return getItemCount(); }
    bool empty() const { return getItemCount() == 0; }
    const XMLParameter& at(std::size_t index) const;   // throws TracedException "out_of_range" past the end
    std::size_t getDroppedCount() const { return dropped_; }   // unusable parameters dropped while reading

protected:
    std::unique_ptr<tarnwick::XMLAssembly> makeItem() override;

private:
    std::size_t dropped_ = 0;
};

}   // namespace skellow
