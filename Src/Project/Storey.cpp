#include "Project/Storey.h"

#include <cmath>
#include <string_view>

#include "Environment/Host.h"
#include "Project/Plan.h"

namespace tarnwick {
namespace {
String nameOf(const host::StoreyRecord& record) {
    std::size_t length = 0;
    while (length < std::size(record.name) && record.name[length] != 0) ++length;
    return String(std::u16string_view(record.name, length));
}

Plan* projectPlan() { return Host::getPlan(); }
}   // namespace

Storey::Storey(Plan* plan, const String& name, std::int16_t index, double level, double height)
    : Attribute(AttributeLink(index, AttributeType::none), AttributeType::none),
      plan_(plan),
      name_(name),
      index_(index),
      level_(level),
      height_(height) {}

Storey::Storey(Plan* plan, const host::StoreyRecord& record, double height)
    : Attribute(AttributeLink(record.index, AttributeType::none), AttributeType::none),
      plan_(plan),
      name_(nameOf(record)),
      index_(record.index),
      number_(record.number),
      level_(record.level),
      height_(height),
      flag_(record.flag == 0 ? 1 : 0) {}

Storey::Storey(const AttributeLink& link)
    : Attribute(link, AttributeType::none), plan_(projectPlan()), index_(link.getShortIndex()) {}

Storey::Storey(const Storey& other) = default;
Storey& Storey::operator=(const Storey& other) = default;
Storey::~Storey() = default;

std::unique_ptr<Attribute> Storey::clone() const { return std::make_unique<Storey>(*this); }

std::unique_ptr<host::AttributeDefinition> Storey::copyDefinition() const { return nullptr; }

AttributeExtensionPtr Storey::copyExtendedDefinition() const { return nullptr; }

void Storey::setIndex(std::int32_t index) { index_ = static_cast<std::int16_t>(index); }

Storey::Location Storey::locate(double z, double tolerance) const {
    if (std::abs(z - level_) <= tolerance) return atLevel;
    if (std::abs(z - (level_ + height_)) <= tolerance) return atTop;
    if (level_ - z > tolerance) return below;
    if (z - (level_ + height_) > tolerance) return above;
    return inside;
}

StoreyList::~StoreyList() = default;

std::unique_ptr<StoreyList> StoreyList::clone() const {
    auto copy = std::make_unique<StoreyList>();
    for (const auto& storey : *this) copy->push_back(storey ? std::make_unique<Storey>(*storey) : nullptr);
    return copy;
}

}   // namespace tarnwick
