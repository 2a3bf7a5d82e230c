#include "Skellowing/ObjectMapMerge.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

#include "Foundation/DataBufferOut.h"
#include "Foundation/XMLWriter.h"
#include "Skellowing/ObjectMapTexts.h"
#include "Skellowing/SkellowingStrings.h"

namespace skellow {

using tarnwick::String;

namespace {

// A table as the merge sees it: for each configuration (kind, name), its mappings by key (type, source
// name in lower case, and which of that key's mappings it is), each with its text as the file holds it.
using ListKey = std::pair<ObjectMapType, std::string>;
using MappingKey = std::tuple<std::int32_t, std::string, int>;
struct Mapping {
    std::string text;
    ObjectSpecification* specification;
};
struct ListView {
    std::vector<MappingKey> order;
    std::map<MappingKey, Mapping> mappings;
};
struct TableView {
    std::vector<ListKey> order;
    std::map<ListKey, ListView> lists;
};

TableView viewOf(const ObjectMap& table) {
    TableView view;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const SpecificationList& list = table.at(i);
        ListKey key{list.getKind(), std::string(list.getName().getView())};
        if (view.lists.contains(key)) continue;   // a second of one name: every lookup finds the first
        ListView& mappings = view.lists[key];
        view.order.push_back(std::move(key));
        std::map<std::pair<std::int32_t, std::string>, int> seen;
        for (std::size_t s = 0; s < list.size(); ++s) {
            ObjectSpecification& specification = list.at(s);
            std::pair<std::int32_t, std::string> name{
                specification.getMappedType(),
                std::string(specification.getOriginalName().toLower().getView())};
            const int occurrence = seen[name]++;
            MappingKey mappingKey{name.first, std::move(name.second), occurrence};
            mappings.mappings.emplace(mappingKey, Mapping{mappingText(specification), &specification});
            mappings.order.push_back(std::move(mappingKey));
        }
    }
    return view;
}

const Mapping* mappingIn(const TableView& view, const ListKey& list, const MappingKey& key) {
    const auto found = view.lists.find(list);
    if (found == view.lists.end()) return nullptr;
    const auto mapping = found->second.mappings.find(key);
    return mapping == found->second.mappings.end() ? nullptr : &mapping->second;
}

}   // namespace

std::string mappingText(ObjectSpecification& specification) {
    String xml;
    tarnwick::DataBufferOut out;
    out.open(xml);
    tarnwick::XMLWriter(out).write(specification, /*declaration=*/false, /*lineBreaks=*/false,
                                   /*indentation=*/false);
    out.close();
    return std::string(xml.getView());
}

ObjectMap merged(const ObjectMap& base, const ObjectMap& ours, const ObjectMap& newer,
                 std::vector<String>& conflicts) {
    const TableView b = viewOf(base), o = viewOf(ours), t = viewOf(newer);
    std::vector<ListKey> order = t.order;   // the newer file's order, then the configurations made here
    for (const ListKey& key : o.order)
        if (!t.lists.contains(key)) order.push_back(key);
    const auto same = [](const Mapping* x, const Mapping* y) { return x ? y && x->text == y->text : !y; };
    ObjectMap result;
    for (const ListKey& key : order) {
        const bool inBase = b.lists.contains(key), inOurs = o.lists.contains(key);
        const bool exists = inOurs == inBase ? t.lists.contains(key) : inOurs;
        std::vector<MappingKey> keys;
        if (const auto found = t.lists.find(key); found != t.lists.end()) keys = found->second.order;
        if (const auto found = o.lists.find(key); found != o.lists.end())
            for (const MappingKey& mapping : found->second.order)
                if (!mappingIn(t, key, mapping)) keys.push_back(mapping);
        std::vector<const ObjectSpecification*> kept;
        const auto conflict = [&](const Mapping& mapping) {
            conflicts.push_back(
                filled(strings::kConflictLine, {mapping.specification->getOriginalName(),
                                                String(std::string_view(key.second)), kindText(key.first)}));
        };
        for (const MappingKey& mappingKey : keys) {
            const Mapping* const vb = mappingIn(b, key, mappingKey);
            const Mapping* const vo = mappingIn(o, key, mappingKey);
            const Mapping* const vt = mappingIn(t, key, mappingKey);
            const Mapping* chosen = nullptr;
            if (same(vo, vb)) {
                chosen = vt;
            } else if (same(vt, vb) || same(vo, vt)) {
                chosen = vo;
            } else {
                conflict(vo ? *vo : *vt);
                continue;
            }
            if (!chosen) continue;
            if (exists) {
                kept.push_back(chosen->specification);
            } else {   // one deleted the configuration, the other changed a mapping in it
                conflict(*chosen);
            }
        }
        if (!exists) continue;
        SpecificationList& list = result.addList(String(std::string_view(key.second)), key.first);
        for (const ObjectSpecification* specification : kept) list.add(specification->copy());
    }
    result.ensureDefaults();
    return result;
}

}   // namespace skellow
