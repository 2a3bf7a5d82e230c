#include "Styles/Preset.h"

#include <algorithm>
#include <limits>
#include <string>

#include "Environment/Host.h"
#include "Foundation/XMLArrayProxy.h"
#include "Foundation/XMLAssemblyProxy.h"
#include "Foundation/XMLTypeProxy.h"
#include "LibraryParts/IntegerParameter.h"
#include "LibraryParts/ParameterList.h"
#include "LibraryParts/ParameterMemo.h"
#include "LibraryParts/StringParameter.h"
#include "Styles/PresetDatabase.h"
#include "Styles/PresetFieldType.h"
#include "Styles/PresetList.h"
#include "Styles/PresetRecord.h"

namespace tarnwick {
namespace {

constexpr std::string_view kChildTags[] = {
    "type",         "menuName",        "filter",      "nameParameter", "echoParameter",
    "keyParameter", "statusParameter", "settingList", "indexRange"};
constexpr std::size_t kFixedChildren = std::size(kChildTags);
constexpr std::string_view kSubtypeTag = "subtype";
constexpr std::int16_t kUserDataStrings = 32703;
constexpr std::int32_t kUntitledItem = 2;

// A subtype id: one unsigned 32-bit number; any other text fails the read.
class SubtypeProxy final : public XMLProxy {
public:
    explicit SubtypeProxy(std::uint32_t& id) : XMLProxy(kSubtypeTag, /*isAttribute=*/false), id_(id) {}
    bool setFromText(std::string_view text) override {
        unsigned long long value = 0;
        if (!XMLTypeProxy<unsigned long long>(value, kSubtypeTag).setFromText(text)) return false;
        if (value > std::numeric_limits<std::uint32_t>::max()) return false;
        id_ = static_cast<std::uint32_t>(value);
        return true;
    }
    bool getText(std::string& text) const override {
        text = std::to_string(id_);
        return true;
    }

private:
    std::uint32_t& id_;
};

bool writeText(StringParameter& parameter, std::uint64_t row, const String& text) {
    if (parameter.get(row, 0) == text) return false;
    parameter.set(text, row, 0);
    return true;
}

bool writeStatus(IntegerParameter& parameter, std::uint64_t row, std::int16_t status) {
    if (parameter.get(row, 0) == status) return false;
    parameter.set(status, row, 0);
    return true;
}

// The style a link field leads to: the stored style of its Guid, else the record's own sub-record.
std::shared_ptr<PresetRecord> linkedStyle(const PresetLinkField& link, const PresetRecord& record,
                                          std::size_t index, const PresetDatabase& database) {
    if (std::shared_ptr<PresetRecord> stored = database.findRecord(link.getValue(0))) return stored;
    return record.getSubRecord(index);
}

}   // namespace

// The four cells of row i; valid only after cells() answered true.
struct Preset::Cells {
    StringParameter* name = nullptr;
    StringParameter* echo = nullptr;
    StringParameter* key = nullptr;
    IntegerParameter* status = nullptr;
    std::uint64_t nameRow = 0, echoRow = 0, keyRow = 0, statusRow = 0;
};

Preset::Preset(const String& type, const String& menuName)
    : XMLAssembly(kTag), type(type), menuName(menuName) {}

Preset::Preset(const Preset& other)
    : XMLAssembly(other),
      type(other.type),
      menuName(other.menuName),
      filter(other.filter ? std::make_unique<PresetFilter>(*other.filter) : nullptr),
      nameParameter(other.nameParameter),
      echoParameter(other.echoParameter),
      keyParameter(other.keyParameter),
      statusParameter(other.statusParameter),
      settingList(other.settingList),
      indexRange(other.indexRange),
      subtypes(other.subtypes) {}

Preset::~Preset() = default;

// --- XML -----------------------------------------------------------------------------------------------
std::unique_ptr<XMLAssembly> Preset::clone() const { return std::make_unique<Preset>(*this); }

void Preset::clear() {
    type.clear();
    menuName.clear();
    subtypes.clear();
    filter.reset();
    XMLAssembly::clear();
}

std::unique_ptr<XMLProxy> Preset::findChild(std::string_view name, bool attribute) {
    if (!attribute && name == kChildTags[2]) {
        filter = std::make_unique<PresetFilter>();   // a second "filter" replaces the first
        return makeChildProxy(2);
    }
    if (!attribute && name == kSubtypeTag) {
        subtypes.push_back(0);
        return makeChildProxy(kFixedChildren + subtypes.size() - 1);
    }
    return XMLAssembly::findChild(name, attribute);
}

std::span<const std::string_view> Preset::getChildTags() const { return kChildTags; }

std::unique_ptr<XMLProxy> Preset::makeChildProxy(std::size_t index) {
    switch (index) {
        case 0:
            return std::make_unique<XMLTypeProxy<String>>(type, kChildTags[0], /*isAttribute=*/true);
        case 1:
            return std::make_unique<XMLTypeProxy<String>>(menuName, kChildTags[1], /*isAttribute=*/true);
        case 2:
            return filter ? std::make_unique<XMLAssemblyProxy>(*filter, kChildTags[2]) : nullptr;
        case 3:
            return std::make_unique<XMLAssemblyProxy>(nameParameter, kChildTags[3]);
        case 4:
            return std::make_unique<XMLAssemblyProxy>(echoParameter, kChildTags[4]);
        case 5:
            return std::make_unique<XMLAssemblyProxy>(keyParameter, kChildTags[5]);
        case 6:
            return std::make_unique<XMLAssemblyProxy>(statusParameter, kChildTags[6]);
        case 7:
            return std::make_unique<XMLArrayProxy>(settingList, kChildTags[7]);
        case 8:
            return std::make_unique<XMLAssemblyProxy>(indexRange, kChildTags[8]);
        default:
            if (index - kFixedChildren >= subtypes.size()) return nullptr;
            return std::make_unique<SubtypeProxy>(subtypes[index - kFixedChildren]);
    }
}

// --- Styles ----------------------------------------------------------------------------------------------
bool Preset::acceptsSubtype(std::uint32_t subtype) const {
    return subtypes.empty() || std::find(subtypes.begin(), subtypes.end(), subtype) != subtypes.end();
}

bool Preset::apply(ParameterMemo& holder, PresetDatabase& database) const {
    return apply(holder.getParameters(), database);
}

bool Preset::apply(ParameterList& parameters, PresetDatabase& database) const {
    // 1. The status parameter decides whether there is anything to do.
    auto* const status = dynamic_cast<IntegerParameter*>(parameters.find(statusParameter.name));
    if (!status) return false;
    // 2.-3. Each row by its status.
    const bool stylesExist = database.hasRecordOfType(type);
    bool changed = false;
    for (std::uint64_t n = 0; n < indexRange.count; ++n) {
        const std::uint64_t i = indexRange.row + n;
        const std::uint64_t row = statusParameter.row + i;
        if (!status->holdsCell(row, 0)) break;
        switch (status->get(row, 0)) {
            case kLinked:
            case kLinkedToo:
                changed = (stylesExist ? applyStyle(parameters, database, i) : markNoStyles(parameters, i)) ||
                          changed;
                break;
            case kStoreRequest: {
                bool stored = false;
                changed = storeStyle(parameters, database, i, stored) || changed;
                // Linked only when a style now stands behind the row.
                if (stored) changed = writeStatus(*status, row, kLinked) || changed;
                break;
            }
            case kUnlinkRequest:
            case kUnlinked:
                changed = unlinkStyle(parameters, database, i) || changed;
                break;
            default:
                break;
        }
    }
    // 4. The menu of style names, narrowed by the key style when there is a filter.
    auto* const menu = dynamic_cast<StringParameter*>(parameters.find(menuName));
    if (!menu) return changed;
    const std::unique_ptr<const PresetDatabase::Filter> keyFilter =
        filter ? filter->makeFilter(parameters) : nullptr;
    return database.listNames(*menu, type, keyFilter.get()) || changed;
}

bool Preset::asksToStore(const ParameterList& parameters) const {
    const auto* const status = dynamic_cast<const IntegerParameter*>(parameters.find(statusParameter.name));
    if (!status) return false;
    for (std::uint64_t n = 0; n < indexRange.count; ++n) {
        const std::uint64_t row = statusParameter.row + indexRange.row + n;
        if (!status->holdsCell(row, 0)) break;
        if (status->get(row, 0) == kStoreRequest) return true;
    }
    return false;
}

bool Preset::cells(ParameterList& parameters, std::uint64_t i, Cells& out) const {
    out.name = dynamic_cast<StringParameter*>(parameters.find(nameParameter.name));
    out.echo = dynamic_cast<StringParameter*>(parameters.find(echoParameter.name));
    out.key = dynamic_cast<StringParameter*>(parameters.find(keyParameter.name));
    out.status = dynamic_cast<IntegerParameter*>(parameters.find(statusParameter.name));
    out.nameRow = nameParameter.row + i;
    out.echoRow = echoParameter.row + i;
    out.keyRow = keyParameter.row + i;
    out.statusRow = statusParameter.row + i;
    return out.name && out.echo && out.key && out.status && out.name->holdsCell(out.nameRow, 0) &&
           out.echo->holdsCell(out.echoRow, 0) && out.key->holdsCell(out.keyRow, 0) &&
           out.status->holdsCell(out.statusRow, 0);
}

bool Preset::markNoStyles(ParameterList& parameters, std::uint64_t i) const {
    auto* const status = dynamic_cast<IntegerParameter*>(parameters.find(statusParameter.name));
    const std::uint64_t row = statusParameter.row + i;
    return status && status->holdsCell(row, 0) && writeStatus(*status, row, kNoStyles);
}

bool Preset::applyStyle(ParameterList& parameters, PresetDatabase& database, std::uint64_t i) const {
    Cells c;
    if (!cells(parameters, i, c)) return false;
    // 1. A name the user chose, among the styles of our type.
    const String name = c.name->get(c.nameRow, 0);
    std::shared_ptr<PresetRecord> style;
    Guid key;
    if (name != c.echo->get(c.echoRow, 0) && !name.isEmpty()) {
        key = database.findStyleByName(name, Guid(), type);
        style = database.findRecord(key);
    }
    // 2. Else the row's key; a key of no style of our type gives way to the current style.
    if (!style) {
        key = Guid(c.key->get(c.keyRow, 0));
        if (key.isValid()) {
            style = database.findRecord(key);
            if (!style || style->getTypeName() != type) {
                style = nullptr;
                key = database.getCurrentStyle();
            }
        }
    }
    // 3.-4. The style, when it is a live one of our type.
    if (!style && key.isValid()) style = database.findRecord(key);
    if (!style || style->isDeleted() || style->getTypeName() != type) return false;
    Visited visited;
    return applyRecord(parameters, database, key, *style, i, visited);
}

bool Preset::applyRecord(ParameterList& parameters, PresetDatabase& database, const Guid& key,
                         const PresetRecord& style, std::uint64_t i, Visited& visited) const {
    if (!visited.insert(&style).second) return false;   // met before through a link
    Cells c;
    if (!cells(parameters, i, c)) return false;
    // 2. Name, echo, key and status.
    const String name = style.getName();
    bool changed = writeText(*c.name, c.nameRow, name);
    changed = writeText(*c.echo, c.echoRow, name) || changed;
    if (Guid(c.key->get(c.keyRow, 0)) != key)
        changed = writeText(*c.key, c.keyRow, key.toString()) || changed;
    changed = writeStatus(*c.status, c.statusRow, kLinked) || changed;
    // 3. The settings.
    changed = settingList.applyAll(parameters, i, style) || changed;
    // 4. The styles linked from ours, through the templates of their types.
    const PresetList* const presets = PresetList::ofAddon();
    for (std::size_t index = 0; presets && index < style.getFieldCount(); ++index) {
        const auto* const link = dynamic_cast<const PresetLinkField*>(style.getField(index));
        if (!link || link->getFlag() || link->getName().isEmpty()) continue;
        const PresetParameter cell = getFieldParameter(link->getName());
        if (cell.name.isEmpty()) continue;
        const std::shared_ptr<PresetRecord> linked = linkedStyle(*link, style, index, database);
        if (!linked) continue;
        if (const Preset* other = presets->findByKey(linked->getTypeName(), cell.name))
            changed =
                other->applyRecord(parameters, database, link->getValue(0), *linked, i, visited) || changed;
    }
    return changed;
}

bool Preset::storeStyle(ParameterList& parameters, PresetDatabase& database, std::uint64_t i,
                        bool& stored) const {
    stored = false;
    Cells c;
    if (!cells(parameters, i, c)) return false;
    // 1. The row's style.
    const String cellName = c.name->get(c.nameRow, 0);
    Guid key(c.key->get(c.keyRow, 0));
    std::shared_ptr<PresetRecord> style = database.findRecord(key);
    // 2. None: a new style of our type (never of another type when ours is not registered).
    if (!style) {
        if (!PresetDatabase::findType(type, /*byTypeName=*/true)) return false;
        key = database.createRecord(Guid(), cellName, Guid());
        style = database.findRecord(key);
        if (!style) return false;
    }
    // 3. Its name: the row's, else its own, else "Untitled"; unique among all styles, itself included.
    // A deleted holder of the name takes the variant instead.
    String wanted = cellName.isEmpty() ? style->getName() : cellName;
    if (wanted.isEmpty()) wanted = Host::getString(kUserDataStrings, kUntitledItem);
    if (wanted != style->getName()) {
        const PresetDatabase::UniqueChoice choice = database.makeUniqueName(wanted);
        if (choice.holder && choice.holder->isDeleted()) {
            choice.holder->setName(choice.name);
            style->setName(wanted);
        } else {
            style->setName(choice.name);
        }
    }
    // 4. The row shows the style, whose values become the row's.
    style->setDeleted(false);
    writeText(*c.name, c.nameRow, style->getName());
    writeText(*c.echo, c.echoRow, style->getName());
    writeText(*c.key, c.keyRow, key.toString());
    Visited visited;
    storeRecord(parameters, database, *style, i, visited);
    stored = true;
    return true;   // the style took the row's values
}

void Preset::storeRecord(ParameterList& parameters, PresetDatabase& database, PresetRecord& style,
                         std::uint64_t i, Visited& visited) const {
    if (!visited.insert(&style).second) return;
    settingList.storeAll(parameters, i, style);
    const PresetList* const presets = PresetList::ofAddon();
    for (std::size_t index = 0; presets && index < style.getFieldCount(); ++index) {
        auto* const link = dynamic_cast<PresetLinkField*>(style.getField(index));
        if (!link || link->getName().isEmpty()) continue;
        const PresetParameter cell = getFieldParameter(link->getName());
        if (cell.name.isEmpty()) continue;
        // A link to a stored style stays; any other leads to the style's own sub-record.
        if (link->getValue(0).isValid() && database.findRecord(link->getValue(0))) continue;
        link->setValue(Guid(), 0);
        const std::shared_ptr<PresetRecord> own = style.getSubRecord(index);
        if (!own) continue;
        if (const Preset* other = presets->findByKey(own->getTypeName(), cell.name))
            other->storeRecord(parameters, database, *own, i, visited);
    }
}

bool Preset::unlinkStyle(ParameterList& parameters, PresetDatabase& database, std::uint64_t i) const {
    Cells c;
    if (!cells(parameters, i, c)) return false;
    // 2. The echo and the key go; the style of the key becomes the current one.
    bool changed = writeText(*c.echo, c.echoRow, String());
    const String keyText = c.key->get(c.keyRow, 0);
    if (!keyText.isEmpty()) {
        database.setCurrentStyle(Guid(keyText));
        changed = writeText(*c.key, c.keyRow, String()) || changed;
    }
    // 3. An unlink request empties the name and leaves the row unlinked.
    if (c.status->get(c.statusRow, 0) != kUnlinked) {
        changed = writeText(*c.name, c.nameRow, String()) || changed;
        return writeStatus(*c.status, c.statusRow, kUnlinked) || changed;
    }
    // 4. An unlinked row with a name of one of our styles links it again.
    const String name = c.name->get(c.nameRow, 0);
    if (name.isEmpty()) return changed;
    const Guid key = database.findStyleByName(name, Guid(), type);
    const std::shared_ptr<PresetRecord> style = database.findRecord(key);
    if (!style || style->getTypeName() != type) return changed;
    changed = writeText(*c.key, c.keyRow, key.toString()) || changed;
    return applyStyle(parameters, database, i) || changed;
}

// --- Fields and parameters
// ----------------------------------------------------------------------------------
PresetParameter Preset::getFieldParameter(const String& fieldName) const {
    for (std::size_t index = 0; index < settingList.size(); ++index) {
        const PresetSetting& setting = settingList.at(index);
        if (setting.field != fieldName) continue;
        PresetParameter cell(setting.parameter.name, setting.parameter.row);
        cell.column = setting.parameter.column;
        return cell;
    }
    return PresetParameter();
}

PresetParameter Preset::getParameterField(const String& parameterName) const {
    PresetParameter found;
    for (std::size_t index = 0; index < settingList.size(); ++index) {
        const PresetSetting& setting = settingList.at(index);
        if (setting.parameter.name == parameterName) {
            found.name = setting.field;
            break;
        }
        for (std::size_t n = 0; n < setting.legacyCount(); ++n) {
            const PresetParameter& legacy = setting.getLegacyParameter(n);
            if (legacy.name != parameterName) continue;
            found.name = setting.field;
            found.column = legacy.column;
            break;
        }
    }
    return found;
}

bool Preset::importLegacyValue(PresetRecord& record, const String& parameterName, const Setting& value,
                               std::uint32_t column, const PresetDatabase& database) const {
    Visited visited;
    return importLegacyValue(record, parameterName, value, column, database, visited);
}

bool Preset::importLegacyValue(PresetRecord& record, const String& parameterName, const Setting& value,
                               std::uint32_t column, const PresetDatabase& database, Visited& visited) const {
    if (!visited.insert(&record).second) return false;
    // 1. A field of ours.
    const PresetParameter field = getParameterField(parameterName);
    if (!field.name.isEmpty()) {
        record.setSetting(field.name, value, column + static_cast<std::uint32_t>(field.column));
        return true;
    }
    // 2. A field of a style ours links to.
    const PresetList* const presets = PresetList::ofAddon();
    for (std::size_t index = 0; presets && index < record.getFieldCount(); ++index) {
        const auto* const link = dynamic_cast<const PresetLinkField*>(record.getField(index));
        if (!link || link->getName().isEmpty()) continue;
        const PresetParameter cell = getFieldParameter(link->getName());
        if (cell.name.isEmpty()) continue;
        const std::shared_ptr<PresetRecord> linked = linkedStyle(*link, record, index, database);
        if (!linked) continue;
        const Preset* const other = presets->findByKey(linked->getTypeName(), cell.name);
        if (other && other->importLegacyValue(*linked, parameterName, value, column, database, visited))
            return true;
    }
    return false;
}

bool Preset::ownsParameter(const String& parameterName, const PresetRecord& record,
                           const PresetDatabase& database) const {
    Visited visited;
    return ownsParameter(parameterName, record, database, visited);
}

bool Preset::ownsParameter(const String& parameterName, const PresetRecord& record,
                           const PresetDatabase& database, Visited& visited) const {
    if (!visited.insert(&record).second) return false;
    if (!getParameterField(parameterName).name.isEmpty()) return true;
    const PresetList* const presets = PresetList::ofAddon();
    for (std::size_t index = 0; presets && index < record.getFieldCount(); ++index) {
        const auto* const link = dynamic_cast<const PresetLinkField*>(record.getField(index));
        if (!link || link->getName().isEmpty()) continue;
        const PresetParameter cell = getFieldParameter(link->getName());
        if (cell.name.isEmpty()) continue;
        const std::shared_ptr<PresetRecord> linked = linkedStyle(*link, record, index, database);
        if (!linked) continue;
        const Preset* const other = presets->findByKey(linked->getTypeName(), cell.name);
        if (other && other->ownsParameter(parameterName, *linked, database, visited)) return true;
    }
    return false;
}

}   // namespace tarnwick
