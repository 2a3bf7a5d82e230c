// PresetFilter: narrows a style template's menu to the styles that a key style links to: the key style
// is named by a Guid in a parameter cell, and one of its link fields lists the styles admitted.
#pragma once

#include <memory>
#include <span>
#include <string_view>

#include "Foundation/String.h"
#include "Foundation/XMLAssembly.h"
#include "Styles/PresetDatabase.h"
#include "Styles/PresetParameter.h"

namespace tarnwick {

class ParameterList;

// XML: <filter type="..." keyFilterField="..."><keyParameter name="..."><row>0</row>...</keyParameter>
// </filter>. Copies are deep.
class PresetFilter : public XMLAssembly {
public:
    static constexpr std::string_view kTag = "filter";

    explicit PresetFilter(const String& type = String());
    PresetFilter(const PresetFilter&) = default;
    ~PresetFilter() override;

    std::unique_ptr<XMLAssembly> clone() const override;
    void clear() override;
    bool isValid() override { return !type.isEmpty(); }

    // The filter for one element's parameters over the current project's styles: the styles that the
    // key style's link field lists. Null (no narrowing) when a name is missing, the project holds no style
    // database, the key cell is empty or names no style of our type, or the key style has no such link
    // field.
    std::unique_ptr<const PresetDatabase::Filter> makeFilter(const ParameterList& parameters) const;

    String type;             // the key style's type
    String keyFilterField;   // its link field that lists the admitted styles
    PresetParameter keyParameter;

protected:
    std::span<const std::string_view> getChildTags() const override;
    std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override;
};

}   // namespace tarnwick
