#include "IFC/SettingPair.h"

#include <limits>

#include "Foundation/IDSetting.h"
#include "Foundation/TracedException.h"
#include "Foundation/VoidSetting.h"
#include "IFC/HostUniText.h"

namespace tarnwick {
namespace {

const Setting& absent() {
    static const VoidSetting kAbsent(SettingState::undefined);
    return kAbsent;
}

std::unique_ptr<Setting> cloneUnlessVoid(const Setting* setting) {
    return setting != nullptr && setting->getKind() != SettingKind::none ? setting->clone() : nullptr;
}

bool isRealKind(SettingKind kind) {
    return kind == SettingKind::angle || kind == SettingKind::area || kind == SettingKind::length ||
           kind == SettingKind::real || kind == SettingKind::volume;
}
bool isIntegerKind(SettingKind kind) { return kind == SettingKind::int32 || kind == SettingKind::int64; }
bool isNumberKind(SettingKind kind) {
    return isRealKind(kind) || isIntegerKind(kind) || kind == SettingKind::boolean;
}

// A number into a setting of a number kind, without going through the display text.
bool assignNumber(Setting& to, const Setting& from) {
    if (isRealKind(to.getKind())) return to.setReal(from.getReal());
    if (to.getKind() == SettingKind::boolean) return to.setBool(from.getBool());
    return isRealKind(from.getKind()) ? to.setReal(from.getReal()) : to.setInt64(from.getInt64());
}

void clearVariant(host::VariantRecord& variant) {
    variant.type = host::kVariantNone;
    variant.intValue = 0;
    variant.doubleValue = 0.0;
    variant.boolValue = 0;
    variant.uniStringValue.clear();
    variant.guidValue = {};
}

// Symmetric: equal values, or equal GUID keys.
bool matches(const SettingPair& a, const SettingPair& b) {
    if (a.hasValue() && b.hasValue() && a.value().isEqual(b.value())) return true;
    return a.hasGuidKey() && b.hasGuidKey() && a.key().isEqual(b.key());
}

// One step of finding a one-to-one matching: can pair i of `mine` take a pair of `theirs`, moving
// earlier matches along if need be?
bool augment(const SettingPairList& mine, const SettingPairList& theirs, std::size_t i,
             std::vector<std::size_t>& owner, std::vector<bool>& seen) {
    for (std::size_t j = 0; j < theirs.size(); ++j) {
        if (seen[j] || !matches(mine.at(i), theirs.at(j))) continue;
        seen[j] = true;
        if (owner[j] == theirs.size() || augment(mine, theirs, owner[j], owner, seen)) {
            owner[j] = i;
            return true;
        }
    }
    return false;
}

}   // namespace

// --- SettingPair ----------------------------------------------------------------------------------------
SettingPair::SettingPair(const Setting& value, const Setting& key)
    : value_(cloneUnlessVoid(&value)), key_(cloneUnlessVoid(&key)) {}

SettingPair::SettingPair(const Setting& value) : value_(cloneUnlessVoid(&value)) {}

SettingPair::SettingPair(const host::VariantRecord& variant, SettingState state, PropertyMeasure measure)
    : value_(cloneUnlessVoid(MakePropertySetting(measure).makeFromHost(variant).get())) {
    setState(state);
}

SettingPair::SettingPair(const host::EnumerationVariantRecord& entry, SettingState state,
                         PropertyMeasure measure)
    : SettingPair(entry.displayVariant, state, measure) {
    std::unique_ptr<Setting> key = MakePropertySetting(measure).makeFromHost(entry.keyVariant);
    if (key->getKind() != SettingKind::none && !key->isEmpty()) key_ = std::move(key);
}

SettingPair::SettingPair(const SettingPair& other)
    : value_(cloneUnlessVoid(other.value_.get())), key_(cloneUnlessVoid(other.key_.get())) {}

SettingPair& SettingPair::operator=(const SettingPair& other) {
    if (this != &other) {
        value_ = cloneUnlessVoid(other.value_.get());
        key_ = cloneUnlessVoid(other.key_.get());
    }
    return *this;
}

SettingPair::~SettingPair() = default;

const Setting& SettingPair::value() const { return value_ ? *value_ : absent(); }
const Setting& SettingPair::key() const { return key_ ? *key_ : absent(); }
bool SettingPair::hasGuidKey() const { return key_ != nullptr && key_->getKind() == SettingKind::id; }

SettingKind SettingPair::getKind() const { return value_ ? value_->getKind() : SettingKind::none; }
SettingState SettingPair::getState() const { return value_ ? value_->getState() : SettingState::undefined; }

void SettingPair::setState(SettingState state) {
    if (value_ && value_->getState() != state) value_->setState(state);
}

void SettingPair::setValue(const Setting& setting) { value_ = cloneUnlessVoid(&setting); }
void SettingPair::setKey(const Setting& setting) { key_ = cloneUnlessVoid(&setting); }

bool SettingPair::isEqual(const SettingPair& other) const {
    if (hasGuidKey() != other.hasGuidKey()) return false;
    if (hasGuidKey() && !key_->isEqual(*other.key_)) return false;
    if (!value_ || !other.value_) return !value_ && !other.value_;
    return value_->isEqual(*other.value_);
}

bool SettingPair::isValid(bool checkKey) const {
    if (getState() == SettingState::undefined) return true;
    if (checkKey && (!hasGuidKey() || key_->isEmpty())) return false;
    return value_ && value_->getKind() != SettingKind::none && value_->getState() != SettingState::notSet;
}

void SettingPair::convertTo(SettingKind kind) {
    if (!value_ || value_->getKind() == kind) return;
    std::unique_ptr<Setting> converted = MakePropertySetting().make(kind);
    if (!converted) return;
    const SettingState state = value_->getState();
    if (isNumberKind(kind) && isNumberKind(value_->getKind())) {
        if (assignNumber(*converted, *value_)) converted->setState(state);
    } else {
        converted->assign(*value_);
    }
    value_ = std::move(converted);
}

SettingState SettingPair::toHost(SettingKind kind, host::VariantRecord& variant) const {
    clearVariant(variant);
    if (!value_) return SettingState::undefined;
    switch (kind) {
        case SettingKind::angle:
        case SettingKind::area:
        case SettingKind::length:
        case SettingKind::real:
        case SettingKind::volume:
            variant.doubleValue = value_->getReal();
            variant.type = host::kVariantReal;
            break;
        case SettingKind::boolean:
            variant.boolValue = value_->getBool() ? 1 : 0;
            variant.type = host::kVariantBoolean;
            break;
        case SettingKind::id:
            if (const auto* id = dynamic_cast<const IDSetting*>(value_.get())) {
                variant.guidValue = id->getGuid().getRecord();
                variant.type = host::kVariantGuid;
            }
            break;
        case SettingKind::int32:
        case SettingKind::int64: {
            variant.type = host::kVariantInteger;
            const std::int64_t number = value_->getInt64();
            if (number < std::numeric_limits<std::int32_t>::min() ||
                number > std::numeric_limits<std::int32_t>::max())
                return SettingState::undefined;   // the host holds 32 bits: cutting would change the value
            variant.intValue = static_cast<std::int32_t>(number);
            break;
        }
        case SettingKind::string:
            variant.uniStringValue = toUniString(value_->getText());
            variant.type = host::kVariantString;
            break;
        default:   // time and unknown kinds have no host type
            break;
    }
    return value_->getState();
}

SettingState SettingPair::toHostEnumeration(SettingKind kind, host::EnumerationVariantRecord& entry) const {
    clearVariant(entry.keyVariant);
    if (const auto* id = dynamic_cast<const IDSetting*>(key_.get())) {
        entry.keyVariant.guidValue = id->getGuid().getRecord();
        entry.keyVariant.type = host::kVariantGuid;
    }
    return toHost(kind, entry.displayVariant);
}

// --- SettingPairList ------------------------------------------------------------------------------------
const SettingPair& SettingPairList::at(std::size_t i) const {
    if (i >= pairs_.size()) throw TracedException("out_of_range", "SettingPairList::at");
    return pairs_[i];
}

SettingPair& SettingPairList::at(std::size_t i) {
    if (i >= pairs_.size()) throw TracedException("out_of_range", "SettingPairList::at");
    return pairs_[i];
}

void SettingPairList::erase(std::size_t i) {
    if (i < pairs_.size()) pairs_.erase(pairs_.begin() + static_cast<std::ptrdiff_t>(i));
}

void SettingPairList::resize(std::size_t n) { pairs_.resize(n); }

void SettingPairList::setAt(const SettingPair& pair, std::size_t i) {
    if (i >= pairs_.size()) pairs_.resize(i + 1);
    pairs_[i] = pair;
}

void SettingPairList::convertAll(SettingKind kind) {
    if (kind == SettingKind::none) return;
    for (SettingPair& pair : pairs_) pair.convertTo(kind);
}

const SettingPair* SettingPairList::findByKey(const Setting& key) const {
    for (const SettingPair& pair : pairs_)
        if (pair.hasGuidKey() && pair.key().isEqual(key)) return &pair;
    return nullptr;
}

const SettingPair* SettingPairList::findByValue(const Setting& value) const {
    for (const SettingPair& pair : pairs_)
        if (pair.hasValue() && pair.value().isEqual(value)) return &pair;
    return nullptr;
}

const SettingPair* SettingPairList::findEqual(const SettingPair& wanted) const {
    for (const SettingPair& pair : pairs_)
        if (matches(pair, wanted)) return &pair;
    return nullptr;
}

const SettingPair* SettingPairList::findMatching(const SettingPair& wanted) const {
    const SettingPair* found = findByKey(wanted.key());
    return found != nullptr && found->hasValue() && wanted.hasValue() &&
                   found->value().isEqual(wanted.value())
               ? found
               : nullptr;
}

bool SettingPairList::isEqual(const SettingPairList& other) const {
    if (size() != other.size()) return false;
    std::vector<std::size_t> owner(other.size(), other.size());   // other's pair j -> our pair
    for (std::size_t i = 0; i < size(); ++i) {
        std::vector<bool> seen(other.size(), false);
        if (!augment(*this, other, i, owner, seen)) return false;
    }
    return true;
}

}   // namespace tarnwick
