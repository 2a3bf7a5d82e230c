#include "LibraryParts/AttributeTracker.h"

#include <charconv>
#include <memory>
#include <string>
#include <string_view>

#include "LibraryParts/FillParameter.h"
#include "LibraryParts/FinishParameter.h"
#include "LibraryParts/LineStyleParameter.h"
#include "LibraryParts/MaterialParameter.h"
#include "LibraryParts/ParameterList.h"
#include "LibraryParts/PenParameter.h"
#include "Project/Attribute.h"

namespace tarnwick {
namespace {
constexpr std::int32_t kModeNever = -4;      // never written
constexpr std::int32_t kModeIndex = -3;      // written by index, not exposed
constexpr std::int32_t kModeExisting = -2;   // a parameter of exactly the name, when there is one
constexpr std::int32_t kModeScalar = -1;     // that parameter, made when missing
constexpr std::int32_t kModeArray = 0;       // one array parameter, a row per attribute

bool validSlot(int penSlot) { return penSlot >= 0 && penSlot < AttributeTracker::kPenSlots; }

ParameterType parameterTypeOf(AttributeType kind) {
    switch (kind) {
        case AttributeType::pen:
            return ParameterType::pen;
        case AttributeType::lineStyle:
            return ParameterType::lineStyle;
        case AttributeType::fill:
            return ParameterType::fill;
        case AttributeType::finish:
            return ParameterType::finish;
        default:
            return ParameterType::material;
    }
}

// A new parameter of the kind holding one zero value: a scalar, or an array of one column and row.
std::unique_ptr<IntegerParameter> makeParameter(AttributeType kind, const String& name,
                                                const String& description, bool array) {
    const std::uint64_t columns = array ? 1 : 0;
    switch (kind) {
        case AttributeType::pen:
            return std::make_unique<PenParameter>(name, description, 0, columns, 0, array);
        case AttributeType::lineStyle:
            return std::make_unique<LineStyleParameter>(name, description, 0, columns, 0, array);
        case AttributeType::fill:
            return std::make_unique<FillParameter>(name, description, 0, columns, 0, array);
        case AttributeType::finish:
            return std::make_unique<FinishParameter>(name, description, 0, columns, 0, array);
        default:
            return std::make_unique<MaterialParameter>(name, description, 0, columns, 0, array);
    }
}

IntegerParameter* ofKind(Parameter* parameter, AttributeType kind) {
    if (parameter == nullptr || parameter->getType() != parameterTypeOf(kind)) return nullptr;
    return dynamic_cast<IntegerParameter*>(parameter);
}

// The first parameter of the kind named exactly `name`.
IntegerParameter* findExact(ParameterList& list, AttributeType kind, const String& name) {
    for (std::uint64_t i = 0; i < list.size(); ++i) {
        IntegerParameter* parameter = ofKind(list.at(i), kind);
        if (parameter != nullptr && parameter->getName() == name) return parameter;
    }
    return nullptr;
}

// The row an array parameter gives the index: 0 while its first value is 0, else the row that holds
// the index, else a new row after the last.
std::uint64_t rowFor(const IntegerParameter& parameter, std::int16_t index) {
    if (parameter.get(0, 0) == 0) return 0;
    for (std::uint64_t row = 0; row < parameter.getRowCount(); ++row)
        if (parameter.get(row, 0) == index) return row;
    return parameter.getRowCount();
}

// Stores the index at (row, 0). A scalar that needs a second row becomes an array of one column first,
// keeping its value in row 0: the value there is still in use by the script written so far.
void store(IntegerParameter& parameter, std::int16_t index, std::uint64_t row) {
    if (row > 0 && !parameter.isArray()) parameter.setColumnCountRaw(1);
    parameter.set(index, row, 0);
}

// The number after `name` in a numbered parameter's name: `digits` characters (all when 0 or less);
// nothing when they are not a number.
bool numberAfter(std::string_view full, std::string_view name, std::int32_t digits, std::uint64_t& number) {
    std::string_view rest = full.substr(name.size());
    if (digits > 0) rest = rest.substr(0, static_cast<std::size_t>(digits));
    if (rest.empty()) return false;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), number);
    return error == std::errc() && end == rest.data() + rest.size();
}
}   // namespace

AttributeTracker::AttributeTracker(ParameterList* owner) : owner_(owner) {}

void AttributeTracker::reset(ParameterList* owner) {
    owner_ = owner;
    lineType_.mode = finish_.mode = fill_.mode = material_.mode = 0;
    for (Naming& pen : pens_) pen.mode = 0;
    currentLineType_ = currentFinish_ = currentFill_ = currentMaterial_ = kNone;
    currentPen_ = 0;
    currentPens_ = {};
    currentPenSlot_ = -1;
    // A new script has not defined the gradients yet; keeping their names would make it select a fill
    // it never defines.
    linearGradientName_ = String();
    radialGradientName_ = String();
}

const AttributeTracker::Naming* AttributeTracker::namingOf(AttributeType kind, int penSlot) const {
    switch (kind) {
        case AttributeType::pen:
            return validSlot(penSlot) ? &pens_[penSlot] : nullptr;
        case AttributeType::lineStyle:
            return &lineType_;
        case AttributeType::fill:
            return &fill_;
        case AttributeType::finish:
            return &finish_;
        case AttributeType::material:
            return &material_;
        default:
            return nullptr;
    }
}

AttributeTracker::Naming* AttributeTracker::namingOf(AttributeType kind, int penSlot) {
    return const_cast<Naming*>(std::as_const(*this).namingOf(kind, penSlot));
}

void AttributeTracker::setNames(AttributeType kind, const String& name, const String& description,
                                std::int32_t mode, int penSlot) {
    Naming* naming = namingOf(kind, penSlot);
    if (naming == nullptr) return;
    naming->name = name;
    naming->description = description;
    naming->mode = mode;
}

std::int32_t AttributeTracker::getMode(AttributeType kind, int penSlot) const {
    const Naming* naming = namingOf(kind, penSlot);
    return naming != nullptr ? naming->mode : 0;
}

std::uint32_t AttributeTracker::getCurrent(AttributeType kind) const {
    switch (kind) {
        case AttributeType::pen:
            return currentPen_;
        case AttributeType::lineStyle:
            return currentLineType_;
        case AttributeType::fill:
            return currentFill_;
        case AttributeType::finish:
            return currentFinish_;
        case AttributeType::material:
            return currentMaterial_;
        default:
            return 0;
    }
}

void AttributeTracker::setCurrent(AttributeType kind, std::uint32_t index, int penSlot) {
    switch (kind) {
        case AttributeType::pen:
            if (!validSlot(penSlot)) return;
            currentPen_ = index;
            currentPens_[penSlot] = index;
            currentPenSlot_ = penSlot;
            return;
        case AttributeType::lineStyle:
            currentLineType_ = index;
            return;
        case AttributeType::fill:
            currentFill_ = index;
            return;
        case AttributeType::finish:
            currentFinish_ = index;
            return;
        case AttributeType::material:
            currentMaterial_ = index;
            return;
        default:
            return;
    }
}

bool AttributeTracker::isSet(AttributeType kind, int penSlot) const {
    if (kind == AttributeType::pen) return validSlot(penSlot) && currentPens_[penSlot] != 0;
    const std::uint32_t current = getCurrent(kind);
    return current != 0 && current != kNone;
}

bool AttributeTracker::isChanged(const Attribute& attribute, int penSlot) const {
    const AttributeType kind = attribute.getType();
    const std::int32_t mode = getMode(kind, penSlot);
    if (mode == kModeNever) return false;
    if (kind == AttributeType::pen && mode != kModeIndex && penSlot != currentPenSlot_) return true;
    return static_cast<std::uint32_t>(attribute.getIndex()) != getCurrent(kind);
}

Parameter* AttributeTracker::apply(const Attribute& attribute, std::uint64_t& outRow, bool onlyWhenChanged,
                                   int penSlot) {
    outRow = 0;
    const AttributeType kind = attribute.getType();
    const Naming* naming = namingOf(kind, penSlot);
    if (naming == nullptr) return nullptr;
    const auto index = static_cast<std::uint32_t>(attribute.getIndex());
    if (kind == AttributeType::pen) {
        if (onlyWhenChanged && currentPens_[penSlot] != 0 && !isChanged(attribute, penSlot)) {
            currentPen_ = currentPens_[penSlot] = index;
            return nullptr;
        }
        Parameter* parameter = findOrCreate(kind, *naming, static_cast<std::int16_t>(index), outRow);
        currentPen_ = currentPens_[penSlot] = index;
        return parameter;
    }
    if (onlyWhenChanged && getCurrent(kind) != 0 && getCurrent(kind) == index) {
        setCurrent(kind, index);
        return nullptr;
    }
    Parameter* parameter = findOrCreate(kind, *naming, static_cast<std::int16_t>(index), outRow);
    setCurrent(kind, index);
    return parameter;
}

Parameter* AttributeTracker::findOrCreate(AttributeType kind, const Naming& naming, std::int16_t index,
                                          std::uint64_t& outRow) {
    outRow = 0;
    if (owner_ == nullptr || naming.name.isEmpty()) return nullptr;
    ParameterList& list = *owner_;
    const auto append = [&](bool array) {
        // The script's names ignore case: a name the list already holds is not made a second time.
        if (list.find(naming.name) != nullptr) return static_cast<IntegerParameter*>(nullptr);
        std::unique_ptr<IntegerParameter> made = makeParameter(kind, naming.name, naming.description, array);
        IntegerParameter* parameter = made.get();
        list.push_back(std::move(made));
        return parameter;
    };
    const auto asArray = [&](IntegerParameter& parameter) {
        outRow = rowFor(parameter, index);
        store(parameter, index, outRow);
        return &parameter;
    };

    switch (naming.mode) {
        case kModeNever:
        case kModeIndex:
            return nullptr;
        case kModeExisting: {
            IntegerParameter* parameter = findExact(list, kind, naming.name);
            if (parameter == nullptr) return nullptr;
            if (parameter->isArray()) return asArray(*parameter);
            store(*parameter, index, 0);
            return parameter;
        }
        case kModeScalar: {
            IntegerParameter* parameter = findExact(list, kind, naming.name);
            if (parameter == nullptr) parameter = append(/*array=*/false);
            if (parameter != nullptr) store(*parameter, index, 0);
            return parameter;
        }
        case kModeArray: {
            Parameter* found = list.find(naming.name);
            if (found != nullptr) {
                IntegerParameter* parameter = ofKind(found, kind);
                return parameter != nullptr ? asArray(*parameter) : nullptr;
            }
            IntegerParameter* parameter = append(/*array=*/true);
            if (parameter != nullptr) store(*parameter, index, 0);
            return parameter;
        }
        default:
            break;
    }

    // Numbered scalars: a free one (0) or one already holding the index is taken; else a new one numbered
    // one above the highest.
    const std::string_view base = naming.name.getView();
    std::uint64_t highest = 0;
    for (std::uint64_t i = 0; i < list.size(); ++i) {
        IntegerParameter* parameter = ofKind(list.at(i), kind);
        if (parameter == nullptr) continue;
        const std::string_view name = parameter->getName().getView();
        if (name.size() < base.size() || name.substr(0, base.size()) != base) continue;
        const std::int16_t value = parameter->get(0, 0);
        if (value == 0 || value == index) {
            store(*parameter, index, 0);
            return parameter;
        }
        std::uint64_t number = 0;
        if (numberAfter(name, base, naming.mode, number) && number > highest) highest = number;
    }
    String name;
    do {   // past any name of another kind that happens to carry the next number
        name = String(std::string(base) + std::to_string(++highest));
    } while (list.find(name) != nullptr);
    std::unique_ptr<IntegerParameter> made = makeParameter(kind, name, naming.description, /*array=*/false);
    IntegerParameter* parameter = made.get();
    list.push_back(std::move(made));
    store(*parameter, index, 0);
    return parameter;
}

}   // namespace tarnwick
