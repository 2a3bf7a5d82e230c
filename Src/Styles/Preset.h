// Preset: a style template. It ties one style type to the parameters of a library part that shows
// styles: per row of some array parameters the part keeps the chosen style's name, the name last
// applied (its echo), the style's Guid as text and a status code. The template applies the chosen
// styles to the rows, stores a row's values as a style, unlinks rows, and fills the part's menu
// parameter with the names of the styles of its type.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <span>
#include <string_view>
#include <vector>

#include "Foundation/Guid.h"
#include "Foundation/String.h"
#include "Foundation/XMLAssembly.h"
#include "Styles/IndexRange.h"
#include "Styles/PresetFilter.h"
#include "Styles/PresetParameter.h"
#include "Styles/PresetSettingList.h"

namespace tarnwick {

class ParameterList;
class ParameterMemo;
class PresetDatabase;
class PresetList;
class PresetRecord;
class Setting;

// Owned by the add-on's PresetList; copies are deep. Keeps no state between calls: everything is in the
// element's parameters and the style database. Missing parameters, parameters of the wrong kind and
// rows a parameter lacks make the step concerned do nothing, without a report.
//
// Styles link to other styles through link fields; a template follows a link into the template of the
// linked style's type. Each style is visited once per call, so styles that link to each other (A to B
// to A) end the walk instead of recursing without end.
class Preset : public XMLAssembly {
public:
    static constexpr std::string_view kTag = "preset";

    // The status code of a row (the status parameter, a 16-bit integer per row).
    enum Status : std::int16_t {
        kLinked = 0,          // apply the row's style
        kNoStyles = 1,        // no style of the type exists: left alone
        kStoreRequest = 2,    // store the row's values into its style, then linked
        kLinkedToo = 4,       // as linked
        kUnlinkRequest = 8,   // unlink the row, then unlinked
        kUnlinked = 9,        // a name typed into the row links that style again
    };

    explicit Preset(const String& type = String(), const String& menuName = String());
    Preset(const Preset& other);
    Preset& operator=(const Preset&) = delete;
    ~Preset() override;

    // --- XML --------------------------------------------------------------------------------------
    std::unique_ptr<XMLAssembly> clone() const override;
    void clear() override;   // no type, menu name, filter or subtypes; parameters, settings, range stay
    bool isValid() override { return !type.isEmpty() && !menuName.isEmpty(); }
    std::size_t getChildCount() const override { return 9 + subtypes.size(); }
    // "filter" makes a new filter (replacing one read before); "subtype" appends the id 0 for its text.
    std::unique_ptr<XMLProxy> findChild(std::string_view name, bool attribute) override;

    // --- Styles -----------------------------------------------------------------------------------
    bool acceptsSubtype(std::uint32_t subtype) const;   // no subtypes: every one
    // Brings the holder's parameter rows in line with the styles, then refills the menu parameter. True
    // when a parameter or a style changed; false at once when the status parameter is missing.
    bool apply(ParameterMemo& holder, PresetDatabase& database) const;
    bool apply(ParameterList& parameters, PresetDatabase& database) const;
    // Whether apply would meet a row that asks to store its values: the only step of apply that makes or
    // changes styles; the others at most move the database's current style.
    bool asksToStore(const ParameterList& parameters) const;

    // The parameter cell of the first setting of the field; empty when none.
    PresetParameter getFieldParameter(const String& fieldName) const;
    // The field (its name; row 0) behind a parameter name, directly or through an older name (with that
    // name's column); empty when none.
    PresetParameter getParameterField(const String& parameterName) const;
    // A legacy value of a parameter into the record (or a style it links to) at column plus the
    // column found. False when no field of ours takes the parameter.
    bool importLegacyValue(PresetRecord& record, const String& parameterName, const Setting& value,
                           std::uint32_t column, const PresetDatabase& database) const;
    // Whether the parameter maps to a field of the record or, through links, of a style it links to.
    bool ownsParameter(const String& parameterName, const PresetRecord& record,
                       const PresetDatabase& database) const;

    String type;                            // the style type whose styles this template applies
    String menuName;                        // the string parameter that receives the menu of style names
    std::unique_ptr<PresetFilter> filter;   // null: the menu lists every style of the type
    PresetParameter nameParameter;          // the chosen style's name, per row
    PresetParameter echoParameter;          // the name last applied, per row
    PresetParameter keyParameter;           // the style's Guid as text, per row
    PresetParameter statusParameter;        // the row's Status
    PresetSettingList settingList;          // which field goes to which parameter
    IndexRange indexRange;                  // the rows covered
    std::vector<std::uint32_t> subtypes;    // the library-part subtypes served; empty: all

protected:
    std::span<const std::string_view> getChildTags() const override;
    std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override;

private:
    using Visited = std::set<const PresetRecord*>;
    struct Cells;

    bool cells(ParameterList& parameters, std::uint64_t i, Cells& out) const;
    bool markNoStyles(ParameterList& parameters, std::uint64_t i) const;
    bool applyStyle(ParameterList& parameters, PresetDatabase& database, std::uint64_t i) const;
    bool applyRecord(ParameterList& parameters, PresetDatabase& database, const Guid& key,
                     const PresetRecord& style, std::uint64_t i, Visited& visited) const;
    bool storeStyle(ParameterList& parameters, PresetDatabase& database, std::uint64_t i, bool& stored) const;
    void storeRecord(ParameterList& parameters, PresetDatabase& database, PresetRecord& style,
                     std::uint64_t i, Visited& visited) const;
    bool unlinkStyle(ParameterList& parameters, PresetDatabase& database, std::uint64_t i) const;
    bool importLegacyValue(PresetRecord& record, const String& parameterName, const Setting& value,
                           std::uint32_t column, const PresetDatabase& database, Visited& visited) const;
    bool ownsParameter(const String& parameterName, const PresetRecord& record,
                       const PresetDatabase& database, Visited& visited) const;
};

}   // namespace tarnwick
