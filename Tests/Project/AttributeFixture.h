// AttributeFixture: the drawing fixture's project with a few layers (layer 1 "ArchiCAD Layer", then
// "Walls", "Doors" hidden, "Roof" locked, "Site" hidden and locked, "Gone" deleted at index 6, "Grid"
// at 7) and a pen and a composite, with the attribute creators registered.
#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <SimProject.h>

#include "Environment/Transaction.h"
#include "Project/Specification.h"
#include "Support/DrawingFixture.h"

class AttributeFixture : public DrawingFixture {
protected:
    static constexpr std::int16_t kWalls = 2, kDoors = 3, kRoof = 4, kSite = 5, kGone = 6, kGrid = 7;

    void SetUp() override {
        DrawingFixture::SetUp();
        tarnwick::Specification::registerCreators();
        tarnwick::registerAttributeCreators();
        auto& attributes = host_->project().state.attributes;
        if (host_->project().findAttribute(host::kAttributeLayer, 1) == nullptr)
            attributes.push_back(layer(1, "ArchiCAD Layer", 0));
        attributes.push_back(layer(kWalls, "Walls", 0));
        attributes.push_back(layer(kDoors, "Doors", host::kLayerHidden));
        attributes.push_back(layer(kRoof, "Roof", host::kLayerLocked | 0x10));
        attributes.push_back(layer(kSite, "Site", host::kLayerHidden | host::kLayerLocked));
        attributes.push_back(layer(kGrid, "Grid", 0));
        attributes.push_back(attribute(host::kAttributePen, 1, "Pen 1"));
        attributes.push_back(attribute(host::kAttributeComposite, 3, "Brick"));
        host::sortAttributes(attributes);
    }

    void TearDown() override {
        tarnwick::Specification::unregisterCreators();
        DrawingFixture::TearDown();
    }

    static host::SimAttribute attribute(std::int32_t type, std::int16_t index, const char* name) {
        host::SimAttribute made;
        made.type = type;
        made.index = index;
        made.name = name;
        return made;
    }
    static host::SimAttribute layer(std::int16_t index, const char* name, std::uint16_t flags) {
        host::SimAttribute made = attribute(host::kAttributeLayer, index, name);
        made.flags = flags;
        made.setLayerGroup(index * 10);
        return made;
    }

    const host::SimAttribute* simLayer(std::int16_t index) const {
        return host_->project().findAttribute(host::kAttributeLayer, index);
    }
    std::uint16_t layerFlags(std::int16_t index) const { return simLayer(index)->flags; }
    std::size_t callsOf(host::HostSlot slot) const {
        const auto& calls = host_->calls();
        return static_cast<std::size_t>(std::count_if(
            calls.begin(), calls.end(), [&](const host::HostCall& c) { return c.slot == slot; }));
    }
    tarnwick::Specification& specification() { return *project().getSpecification(); }
};

// A transaction whose body is a lambda, run through Host::makeTransaction.
template <typename Body>
class LambdaTransaction : public tarnwick::Transaction {
public:
    LambdaTransaction(const char* name, Body body) : Transaction(name), body_(std::move(body)) {}
    std::uint32_t run() override { return body_(*this); }

private:
    Body body_;
};

// The named parameter of a list, its record changed by `edit` (as a tool default's values differ from a
// placed element's).
inline void editParameter(std::vector<host::SimParameter>& parameters, std::string_view name,
                          const std::function<void(host::ParameterRecord&)>& edit) {
    for (host::SimParameter& parameter : parameters) {
        host::ParameterRecord head = parameter.head();
        if (std::string_view(head.name) != name) continue;
        edit(head);
        parameter.record.assign(&head);
    }
}

// A text parameter's record holding `text`.
inline void setTextValue(host::ParameterRecord& record, std::u16string_view text) {
    std::fill(std::begin(record.value.text), std::end(record.value.text), u'\0');
    std::copy(text.begin(), text.end(), record.value.text);
}
