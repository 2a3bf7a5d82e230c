// PresetParameter: a cell of a library part's parameter as a style template names it: the parameter's
// name, a base row (row i of the template uses row + i) and a column.
#pragma once

#include <memory>
#include <span>
#include <string_view>

#include "Foundation/String.h"
#include "Foundation/XMLAssembly.h"

namespace tarnwick {

// XML: <presetParameter name="..."><row>2</row><column>0</column></presetParameter>, under the tag its
// owner gives; row and column are always written, and text that is no unsigned number fails the read.
class PresetParameter : public XMLAssembly {
public:
    static constexpr std::string_view kTag = "presetParameter";

    explicit PresetParameter(const String& name = String(), unsigned long long row = 0);
    PresetParameter(const PresetParameter&) = default;
    PresetParameter& operator=(const PresetParameter&) = default;
    ~PresetParameter() override;

    std::unique_ptr<XMLAssembly> clone() const override;
    void clear() override;   // no name, row and column 0
    bool isValid() override { return !name.isEmpty(); }

    String name;
    unsigned long long row = 0;
    unsigned long long column = 0;

protected:
    std::span<const std::string_view> getChildTags() const override;
    std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override;
};

}   // namespace tarnwick
