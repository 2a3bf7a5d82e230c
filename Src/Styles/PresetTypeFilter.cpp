#include "Styles/PresetTypeFilter.h"

#include <algorithm>
#include <vector>

#include "Interface/PopupMenu.h"

namespace tarnwick {

PresetTypeFilter::PresetTypeFilter(PopupMenu& popup, const std::set<String>* admitted)
    : popup_(popup), types_(PresetDatabase::getDisplayNames()) {
    // 2. An empty popup.
    popup_.setDimensions(0);
    // 3. The admitted types; checked for none only now, so an empty set leaves nothing to choose.
    if (admitted) std::erase_if(types_, [&](const auto& entry) { return !admitted->contains(entry.first); });
    if (types_.empty()) return;
    // 4. The display names, sorted.
    std::vector<String> names;
    for (const auto& [type, display] : types_) names.push_back(display);
    std::sort(names.begin(), names.end());
    for (const String& name : names) {
        popup_.appendItems(1);
        popup_.setText(name, static_cast<std::int16_t>(popup_.getRowCount() - 1));
    }
    // 5. The first type by type name is current and chosen.
    const auto& [firstType, firstDisplay] = *types_.begin();
    PresetDatabase::findType(firstType, /*byTypeName=*/true);
    popup_.selectText(firstDisplay, 0);
}

PresetTypeFilter::~PresetTypeFilter() = default;

bool PresetTypeFilter::passes(const Guid&, const PresetRecord& record) const {
    const auto found = types_.find(record.getTypeName());
    return found != types_.end() && found->second == popup_.getSelectedText();
}

}   // namespace tarnwick
