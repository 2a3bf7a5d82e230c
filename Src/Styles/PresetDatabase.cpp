#include "Styles/PresetDatabase.h"

#include <algorithm>
#include <vector>

#include "Environment/Addon.h"
#include "LibraryParts/Parameter.h"
#include "Styles/Preset.h"
#include "Styles/PresetEditor.h"
#include "Styles/PresetList.h"
#include "Styles/PresetUpdater.h"
#include "Styles/UniqueName.h"

namespace tarnwick {
namespace {

// The registry lives as long as the process, never destroyed with the module's statics: the templates
// are records from the thread's block pool, which is gone by then. Shut-down empties it.
struct Registry {
    PresetDatabase::PresetMap types;
    std::map<String, String> displayNames;   // type name to display name
    std::map<String, String> keys;           // legacy group key to type name
    String current;                          // the current type; "" until one is chosen or used
};

Registry& registry() {
    static auto* const instance = new Registry;
    return *instance;
}

// The current template: the chosen type, else the first type by name, taken on first use and kept.
const PresetDatabase::TemplateRecord* currentTemplate() {
    Registry& r = registry();
    if (r.types.empty()) return nullptr;
    auto found = r.types.find(r.current);
    if (found == r.types.end()) {
        found = r.types.begin();
        r.current = found->first;
    }
    return &found->second;
}

const PresetDatabase::TemplateRecord* templateOf(const String& typeName) {
    if (typeName.isEmpty()) return currentTemplate();
    const Registry& r = registry();
    const auto found = r.types.find(typeName);
    return found == r.types.end() ? nullptr : &found->second;
}

}   // namespace

PresetDatabase::PresetDatabase() : UserDatabase(kTag) {}

PresetDatabase::PresetDatabase(const PresetDatabase& other) = default;

PresetDatabase::~PresetDatabase() = default;

void PresetDatabase::shutDown() { clearTypes(); }

// --- Styles ------------------------------------------------------------------------------------------
void PresetDatabase::ensureUniqueName(const RecordPtr& record, bool givesNameUp) {
    if (!record) return;
    const String type = record->getTypeName();
    switch (getTypeFlags(type)) {
        case kUniqueInType:
            ensureUniqueNameAmong(record, givesNameUp,
                                  [&](const PresetRecord& other) { return other.getTypeName() == type; });
            break;
        case kUniqueInDatabase:
            ensureUniqueNameAmong(record, givesNameUp, [](const PresetRecord&) { return true; });
            break;
        default:
            break;   // this type's names may repeat
    }
}

PresetDatabase::RecordPtr PresetDatabase::makeRecord(const String& key, const String& name) const {
    RecordPtr record = makeLegacyRecord(key.getView());
    if (record) record->setName(name);
    return record;
}

bool PresetDatabase::hasRecordOfType(const String& typeName) const {
    return std::any_of(begin(), end(), [&](const auto& entry) {
        return entry.second && entry.second->getTypeName() == typeName;
    });
}

bool PresetDatabase::listNames(Parameter& parameter, const String& typeName, const Filter* filter) const {
    std::vector<String> names;
    for (const auto& [key, record] : *this)
        if (record && !record->isDeleted() && record->getTypeName() == typeName &&
            (!filter || filter->passes(key, *record)))
            names.push_back(record->getName());
    std::sort(names.begin(), names.end());
    if (names.empty()) {
        // The empty menu is one empty value. (Resizing to no values would leave no value 0 to empty.)
        const bool alreadyEmpty =
            parameter.getRowCount() * parameter.getColumnCount() == 1 && parameter.getText(0, 0).isEmpty();
        if (alreadyEmpty) return false;
        parameter.setRowCount(1);
        parameter.setText(String(), 0, 0);
        return true;
    }
    bool changed = false;
    if (parameter.getRowCount() != names.size() && parameter.setRowCount(names.size())) changed = true;
    const std::uint64_t rows = std::min<std::uint64_t>(parameter.getRowCount(), names.size());
    for (std::uint64_t row = 0; row < rows; ++row) {
        if (parameter.getText(row, 0) == names[row]) continue;
        parameter.setText(names[row], row, 0);
        changed = true;
    }
    return changed;
}

Guid PresetDatabase::findStyleByName(const String& name, const Guid& excluded, const String& typeName) const {
    for (const auto& [key, record] : *this)
        if (record && key != excluded && record->getName() == name &&
            (typeName.isEmpty() || record->getTypeName() == typeName))
            return key;
    return Guid();
}

Guid PresetDatabase::getCurrentStyle() {
    const RecordPtr current = findRecord(getCurrentKey(), /*skipDeleted=*/true);
    if (current) return getCurrentKey();
    setCurrentKey(Guid());
    for (const auto& [key, record] : *this)
        if (record && !record->isDeleted()) {
            setCurrentKey(key);
            break;
        }
    return getCurrentKey();
}

void PresetDatabase::setCurrentStyle(const Guid& key) {
    if (findRecord(key, /*skipDeleted=*/true)) setCurrentKey(key);
}

PresetDatabase::UniqueChoice PresetDatabase::makeUniqueName(const String& name) const {
    UniqueName search(name);
    RecordPtr holder;
    for (const auto& [key, record] : *this) {
        if (!record) continue;
        const String own = record->getName();
        if (own == name && (!holder || (holder->isDeleted() && !record->isDeleted()))) holder = record;
        search.add(own);
    }
    return {search.result(), holder};
}

PresetDatabase::RecordPtr PresetDatabase::makeRecordOfType(std::string_view typeName) const {
    return newRecordOfType(String(typeName));
}

PresetDatabase::RecordPtr PresetDatabase::newTemplateRecord() const { return newRecordOfType(String()); }

PresetDatabase::RecordPtr PresetDatabase::makeLegacyRecord(std::string_view typeKey) const {
    const String type = findTypeOfKey(String(typeKey));
    if (type.isEmpty()) return nullptr;
    RecordPtr record = newRecordOfType(type);
    if (record) record->clear();
    return record;
}

void PresetDatabase::importLegacyValue(PresetRecord& record, const String& name, const Setting& value,
                                       std::uint32_t index) {
    const PresetList* const presets = PresetList::ofAddon();
    if (const Preset* owner = presets ? presets->findOwner(record, name, *this) : nullptr)
        owner->importLegacyValue(record, name, value, index, *this);
}

// --- Registry ----------------------------------------------------------------------------------------
void PresetDatabase::registerType(std::unique_ptr<PresetRecord> templateRecord, const String& displayName,
                                  const String& key, std::uint32_t flags) {
    // 1.-2. Nothing to register, or registered already: the first registration stands.
    if (!templateRecord || displayName.isEmpty()) return;
    Registry& r = registry();
    const String type = templateRecord->getTypeName();
    if (r.types.contains(type)) return;
    // 3.-5. The template, the display name and the legacy key.
    r.types[type] = TemplateRecord{std::move(templateRecord), flags};
    r.displayNames[type] = displayName;
    if (!key.isEmpty()) r.keys[key] = type;
    // 6. The project's style database and the style tools, once each.
    Addon* const addon = Addon::getInstance();
    if (!addon) return;
    if (!addon->hasPackage(kCode, Addon::kProjectLocation))
        addon->registerPackage(PresetDatabase(), Addon::kProjectLocation);
    if (!addon->findTool<PresetEditor>()) addon->adoptTool(std::make_unique<PresetEditor>());
    if (!addon->findTool<PresetUpdater>()) addon->adoptTool(std::make_unique<PresetUpdater>());
}

bool PresetDatabase::findType(const String& name, bool byTypeName) {
    Registry& r = registry();
    if (name.isEmpty() || r.types.empty()) return false;
    String type = name;
    if (!byTypeName) {
        type.clear();
        for (const auto& [typeName, display] : r.displayNames)
            if (display == name) {
                type = typeName;
                break;
            }
    }
    if (!r.types.contains(type)) return false;
    r.current = type;
    return true;
}

std::uint32_t PresetDatabase::getTypeFlags(const String& typeName) {
    const TemplateRecord* const found = templateOf(typeName);
    return found ? found->flags : 0;
}

PresetDatabase::RecordPtr PresetDatabase::newRecordOfType(const String& typeName, std::uint32_t* flags) {
    const TemplateRecord* const found = templateOf(typeName);
    if (flags) *flags = found ? found->flags : 0;
    return found ? found->record->clonePreset() : nullptr;
}

void PresetDatabase::clearTypes() {
    Registry& r = registry();
    r.types.clear();
    r.displayNames.clear();
    r.keys.clear();
    r.current.clear();   // a template of a new registration, never one that is gone
}

bool PresetDatabase::hasTypes() { return !registry().types.empty(); }

String PresetDatabase::getCurrentType() {
    const TemplateRecord* const found = currentTemplate();
    return found ? registry().current : String();
}

const std::map<String, String>& PresetDatabase::getDisplayNames() { return registry().displayNames; }

String PresetDatabase::findTypeOfKey(const String& key) {
    const Registry& r = registry();
    const auto found = r.keys.find(key);
    return found == r.keys.end() || !r.types.contains(found->second) ? String() : found->second;
}

}   // namespace tarnwick
