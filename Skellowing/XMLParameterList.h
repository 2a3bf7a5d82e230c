// XMLParameterList: a ParameterList as the XML element of the mapping table file that holds it.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

#include "Foundation/XMLArray.h"
#include "LibraryParts/ParameterList.h"
#include "Skellowing/XMLParameter.h"

namespace skellow {

// <customParameters><parameter .../>...</customParameters> over a ParameterList it borrows. For writing,
// snapshot() makes one XMLParameter per parameter the file can keep. While reading, each "parameter"
// becomes an XMLParameter; at the end tag every one that can be built is appended to the list, and one
// that cannot costs only itself: the read goes on, and it is kept as read in getSkipped().
class XMLParameterList : public tarnwick::XMLArray {
public:
    XMLParameterList(tarnwick::ParameterList& list, std::string_view tag);
    XMLParameterList(const XMLParameterList& other);   // over the same list
    ~XMLParameterList() override;

    std::unique_ptr<tarnwick::XMLAssembly> clone() const override;
    bool isValid() override;   // appends what was read; always true

    void snapshot();   // the list's parameters as items, for a write
    // The parameters read that could not be built, as they were read.
    const std::vector<XMLParameter>& getSkipped() const { return skipped_; }

protected:
    std::unique_ptr<tarnwick::XMLAssembly> makeItem() override;

private:
    tarnwick::ParameterList& list_;
    std::vector<XMLParameter> skipped_;
};

}   // namespace skellow
