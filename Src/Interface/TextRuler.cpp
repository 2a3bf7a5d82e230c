#include "Interface/TextRuler.h"

#include <cstring>

#include "Foundation/Memory.h"
#include "Geometry/Tolerance.h"

namespace tarnwick {

TextRuler::TabList::TabList(const TabList& other) : Vector<Tab>() {
    for (const auto& tab : other) push_back(tab ? std::make_unique<Tab>(*tab) : nullptr);
}

TextRuler::TextRuler()
    : Attribute(AttributeLink(), AttributeType::none), tabs_(std::make_unique<TabList>()) {}

TextRuler::TextRuler(const host::ParagraphRecord& record)
    : Attribute(AttributeLink(), AttributeType::none),
      valueA(record.valueA),
      realB(record.realB),
      realC(record.realC),
      realD(record.realD),
      realE(record.realE),
      valueF(record.valueF),
      valueG(record.valueG) {
    const std::size_t count = getHandleSize(record.tabs) / sizeof(host::TabRecord);
    if (count == 0) return;
    tabs_ = std::make_unique<TabList>();
    for (std::size_t i = 0; i < count; ++i) {
        host::TabRecord entry;
        std::memcpy(&entry, *record.tabs + i * sizeof entry, sizeof entry);
        tabs_->push_back(std::make_unique<Tab>(entry));
    }
}

TextRuler::TextRuler(const TextRuler& other)
    : Attribute(other),
      valueA(other.valueA),
      realB(other.realB),
      realC(other.realC),
      realD(other.realD),
      realE(other.realE),
      valueF(other.valueF),
      valueG(other.valueG),
      header_(other.header_),
      tabs_(other.tabs_ ? std::make_unique<TabList>(*other.tabs_) : nullptr) {}

TextRuler& TextRuler::operator=(const TextRuler& other) {
    if (this == &other) return *this;
    auto tabs = other.tabs_ ? std::make_unique<TabList>(*other.tabs_) : nullptr;
    Attribute::operator=(other);
    valueA = other.valueA;
    realB = other.realB;
    realC = other.realC;
    realD = other.realD;
    realE = other.realE;
    valueF = other.valueF;
    valueG = other.valueG;
    header_ = other.header_;
    tabs_ = std::move(tabs);
    return *this;
}

TextRuler::~TextRuler() = default;

std::unique_ptr<Attribute> TextRuler::clone() const { return std::make_unique<TextRuler>(*this); }
std::unique_ptr<host::AttributeDefinition> TextRuler::copyDefinition() const { return nullptr; }
AttributeExtensionPtr TextRuler::copyExtendedDefinition() const { return nullptr; }

void TextRuler::writeParagraph(host::ParagraphRecord& record) const {
    record.valueA = valueA;
    record.realC = realC;
    record.realB = realB;
    record.realD = realD;
    record.realE = realE;
    record.valueF = valueF;
    record.valueG = valueG;
    const std::size_t count = tabs_ ? tabs_->size() : 0;
    setHandleSize(record.tabs, count * sizeof(host::TabRecord));   // allocates when there is none yet
    for (std::size_t i = 0; i < count; ++i) {
        host::TabRecord entry{};
        if (const Tab* tab = (*tabs_)[i]) {
            entry.kind = static_cast<std::int32_t>(tab->kind);
            entry.position = tab->position;
        }
        std::memcpy(*record.tabs + i * sizeof entry, &entry, sizeof entry);
    }
}

void TextRuler::addTab(const Tab& tab) {
    if (!tabs_) tabs_ = std::make_unique<TabList>();
    tabs_->push_back(std::make_unique<Tab>(tab));
}

bool TextRuler::operator==(const TextRuler& other) const {
    // Exact: the values are carried, never computed.
    if (valueA != other.valueA || !exactlyEqual(realB, other.realB) || !exactlyEqual(realC, other.realC) ||
        !exactlyEqual(realD, other.realD) || !exactlyEqual(realE, other.realE) || valueF != other.valueF ||
        valueG != other.valueG)
        return false;
    const std::size_t count = tabs_ ? tabs_->size() : 0;
    if (count != (other.tabs_ ? other.tabs_->size() : 0)) return false;
    for (std::size_t i = 0; i < count; ++i) {
        const Tab* a = (*tabs_)[i];
        const Tab* b = (*other.tabs_)[i];
        if ((a == nullptr) != (b == nullptr)) return false;
        if (a && (a->kind != b->kind || !exactlyEqual(a->position, b->position))) return false;
    }
    return true;
}

}   // namespace tarnwick
