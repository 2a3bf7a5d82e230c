#include "Skellowing/XMLParameter.h"

#include <algorithm>

#include "Foundation/XMLTypeProxy.h"

namespace skellow {
namespace {

using tarnwick::String;

constexpr std::string_view kTags[] = {"name", "type", "columnCount"};
constexpr std::size_t kFixedChildren = 3;
constexpr std::string_view kValueTag = "value";

// The reader's lookup order. "long" is read but never written: a long parameter is written as "short".
// "buildingmaterial" (a building material's index) comes last, so that older names keep their places.
constexpr std::string_view kTypeNames[] = {"angle",     "boolean", "colour", "float",     "fill",
                                           "intensity", "length",  "long",   "linestyle", "material",
                                           "pen",       "short",   "string", "switch",    "buildingmaterial"};

}   // namespace

XMLParameter::XMLParameter() : XMLAssembly(kTag) {}

XMLParameter::XMLParameter(const String& name, std::string_view typeName, std::int32_t columnCount,
                           std::deque<String> values)
    : XMLAssembly(kTag),
      name_(name),
      typeName_(typeName),
      columnCount_(columnCount),
      values_(std::move(values)) {}

XMLParameter::XMLParameter(const XMLParameter& other) = default;
XMLParameter::~XMLParameter() = default;

std::unique_ptr<tarnwick::XMLAssembly> XMLParameter::clone() const {
    return std::make_unique<XMLParameter>(*this);
}

void XMLParameter::clear() {
    XMLAssembly::clear();
    name_.clear();
    typeName_.clear();
    columnCount_ = 1;
    values_.clear();
}

std::size_t XMLParameter::getChildCount() const { return kFixedChildren + values_.size(); }

std::unique_ptr<tarnwick::XMLProxy> XMLParameter::findChild(std::string_view name, bool attribute) {
    if (!attribute && name == kValueTag) {
        values_.emplace_back();
        return std::make_unique<tarnwick::XMLTypeProxy<String>>(values_.back(), kValueTag);
    }
    return XMLAssembly::findChild(name, attribute);
}

bool XMLParameter::isUsable() const {
    if (name_.isEmpty() || typeName_.isEmpty() || columnCount_ < 1 || values_.empty()) return false;
    if (values_.size() % static_cast<std::size_t>(columnCount_) != 0) return false;
    return std::ranges::find(kTypeNames, typeName_.getView()) != std::end(kTypeNames);
}

std::span<const std::string_view> XMLParameter::getTypeNames() { return kTypeNames; }

std::int32_t XMLParameter::getRowCount() const {
    if (!isUsable()) return 0;
    return static_cast<std::int32_t>(values_.size() / static_cast<std::size_t>(columnCount_));
}

std::span<const std::string_view> XMLParameter::getChildTags() const { return kTags; }

std::unique_ptr<tarnwick::XMLProxy> XMLParameter::makeChildProxy(std::size_t index) {
    switch (index) {
        case 0:
            return std::make_unique<tarnwick::XMLTypeProxy<String>>(name_, kTags[0], /*isAttribute=*/true);
        case 1:
            return std::make_unique<tarnwick::XMLTypeProxy<String>>(typeName_, kTags[1],
                                                                    /*isAttribute=*/true);
        case 2:
            return std::make_unique<tarnwick::XMLTypeProxy<int>>(columnCount_, kTags[2], /*isAttribute=*/true,
                                                                 std::string_view{}, columnCount_ != 1);
        default:
            if (index - kFixedChildren >= values_.size()) return nullptr;
            return std::make_unique<tarnwick::XMLTypeProxy<String>>(values_[index - kFixedChildren],
                                                                    kValueTag);
    }
}

}   // namespace skellow
