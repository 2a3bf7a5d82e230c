#include "Styles/PresetFilter.h"

#include "Environment/Host.h"
#include "Foundation/XMLAssemblyProxy.h"
#include "Foundation/XMLTypeProxy.h"
#include "LibraryParts/ParameterList.h"
#include "LibraryParts/StringParameter.h"
#include "Project/Project.h"
#include "Styles/PresetFieldType.h"

namespace tarnwick {
namespace {

constexpr std::string_view kChildTags[] = {"type", "keyFilterField", "keyParameter"};

// Admits the styles whose Guid the key style's link field holds. Keeps the key style, so the field
// stays alive as long as the filter.
class PresetKeyFilter final : public PresetDatabase::Filter {
public:
    PresetKeyFilter(std::shared_ptr<const PresetRecord> keyStyle, const PresetLinkField& field)
        : keyStyle_(std::move(keyStyle)), field_(field) {}
    bool passes(const Guid& key, const PresetRecord&) const override {
        return field_.positionOf(key) != PresetLinkField::kNotFound;
    }

private:
    std::shared_ptr<const PresetRecord> keyStyle_;
    const PresetLinkField& field_;
};

}   // namespace

PresetFilter::PresetFilter(const String& type) : XMLAssembly(kTag), type(type) {}

PresetFilter::~PresetFilter() = default;

std::unique_ptr<XMLAssembly> PresetFilter::clone() const { return std::make_unique<PresetFilter>(*this); }

void PresetFilter::clear() {
    type.clear();
    keyFilterField.clear();
    keyParameter.clear();
    XMLAssembly::clear();
}

std::unique_ptr<const PresetDatabase::Filter> PresetFilter::makeFilter(
    const ParameterList& parameters) const {
    // 1. The current project's style database.
    Project* const project = Host::getProject();
    const auto* const database =
        project ? dynamic_cast<const PresetDatabase*>(project->getPackage(PresetDatabase::kCode)) : nullptr;
    // 2. Every name, the database, and the key cell (its own row: no template row is added).
    if (type.isEmpty() || keyFilterField.isEmpty() || keyParameter.name.isEmpty() || !database)
        return nullptr;
    const auto* const cell = dynamic_cast<const StringParameter*>(parameters.find(keyParameter.name));
    if (!cell || !cell->holdsCell(keyParameter.row, 0)) return nullptr;
    // 3.-4. The key style, of our type, and its link field.
    const Guid key(cell->get(keyParameter.row, 0));
    const std::shared_ptr<const PresetRecord> style = database->findRecord(key);
    if (!style || style->getTypeName() != type) return nullptr;
    const auto* const field = dynamic_cast<const PresetLinkField*>(style->findField(keyFilterField));
    if (!field) return nullptr;
    return std::make_unique<PresetKeyFilter>(style, *field);
}

std::span<const std::string_view> PresetFilter::getChildTags() const { return kChildTags; }

std::unique_ptr<XMLProxy> PresetFilter::makeChildProxy(std::size_t index) {
    switch (index) {
        case 0:
            return std::make_unique<XMLTypeProxy<String>>(type, kChildTags[0], /*isAttribute=*/true);
        case 1:
            return std::make_unique<XMLTypeProxy<String>>(keyFilterField, kChildTags[1],
                                                          /*isAttribute=*/true);
        case 2:
            return std::make_unique<XMLAssemblyProxy>(keyParameter, kChildTags[2]);
        default:
            return nullptr;
    }
}

}   // namespace tarnwick
