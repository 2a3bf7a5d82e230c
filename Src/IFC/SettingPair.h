// SettingPair: one property value as a typed Setting, with the host's enumeration key (a GUID) beside it
// for a value chosen from a list; SettingPairList: the values of one property, default or allowed list.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include <HostIFCRecords.h>

#include "Foundation/Setting.h"
#include "IFC/MakePropertySetting.h"

namespace tarnwick {

// A value; copies clone both members. Either member may be absent; an absent one reads as a shared void
// setting in state 1, and a pair never holds a setting of kind 0 (giving one leaves the member absent).
class SettingPair {
public:
    SettingPair() = default;   // both absent: state 1
    SettingPair(const Setting& value, const Setting& key);
    explicit SettingPair(const Setting& value);
    // The value read from a variant with the measure; the key absent; the value takes the state.
    SettingPair(const host::VariantRecord& variant, SettingState state, PropertyMeasure measure);
    // The value from the display variant, the key from the key variant when it is a GUID that is not null.
    SettingPair(const host::EnumerationVariantRecord& entry, SettingState state, PropertyMeasure measure);
    SettingPair(const SettingPair& other);
    SettingPair(SettingPair&& other) noexcept = default;
    SettingPair& operator=(const SettingPair& other);
    SettingPair& operator=(SettingPair&& other) noexcept = default;
    ~SettingPair();

    const Setting& value() const;
    const Setting& key() const;
    Setting* valueSetting() { return value_.get(); }   // null when absent
    bool hasValue() const { return value_ != nullptr; }
    bool hasGuidKey() const;   // the key is a GUID setting (kind 5)

    SettingKind getKind() const;         // none without a value
    SettingState getState() const;       // undefined without a value
    void setState(SettingState state);   // nothing without a value
    void setValue(const Setting& setting);
    void setKey(const Setting& setting);
    void clearKey() { key_.reset(); }

    // Keys must both be GUID settings and equal, or both not GUID settings; then the values must be
    // equal or both absent.
    bool isEqual(const SettingPair& other) const;
    // A state-1 value is valid. Otherwise, with checkKey, a missing, non-GUID or null key is invalid;
    // else valid when a value of a kind other than 0 is there and its state is not 0.
    bool isValid(bool checkKey) const;
    // Makes the value one of the kind. Numbers go over as numbers (an angle stays in radians, no display
    // rounding); other kinds go through text. The state is kept.
    void convertTo(SettingKind kind);

    // Writes the value into the cleared variant as the kind says and gives the value's state (1 without a
    // value). Kind 4 and kinds outside 1-11 write nothing (type 0). An integer beyond 32 bits is written
    // as undefined rather than cut.
    SettingState toHost(SettingKind kind, host::VariantRecord& variant) const;
    // The key variant takes a GUID key (type 5); the display variant is written by toHost.
    SettingState toHostEnumeration(SettingKind kind, host::EnumerationVariantRecord& entry) const;

private:
    std::unique_ptr<Setting> value_;
    std::unique_ptr<Setting> key_;
};

// The values of one property in order; a value type, copied deeply.
class SettingPairList {
public:
    using Pairs = std::vector<SettingPair>;

    std::size_t size() const { return pairs_.size(); }
    bool empty() const { return pairs_.empty(); }
    // Out of range throws TracedException "out_of_range" at "SettingPairList::at".
    const SettingPair& at(std::size_t i) const;
    SettingPair& at(std::size_t i);
    Pairs::const_iterator begin() const { return pairs_.begin(); }
    Pairs::const_iterator end() const { return pairs_.end(); }
    Pairs::iterator begin() { return pairs_.begin(); }
    Pairs::iterator end() { return pairs_.end(); }

    void push_back(SettingPair pair) { pairs_.push_back(std::move(pair)); }
    void erase(std::size_t i);   // nothing out of range
    void clear() { pairs_.clear(); }
    void resize(std::size_t n);                           // new pairs have neither member
    void setAt(const SettingPair& pair, std::size_t i);   // grows to i+1 when needed
    void convertAll(SettingKind kind);                    // nothing for kind 0

    // The first pair, or null: whose GUID key equals the setting; whose value equals it; that matches the
    // pair by value or (the pair having a GUID key) by key; whose GUID key and value both equal the pair's.
    const SettingPair* findByKey(const Setting& key) const;
    const SettingPair* findByValue(const Setting& value) const;
    const SettingPair* findEqual(const SettingPair& pair) const;
    const SettingPair* findMatching(const SettingPair& pair) const;

    // The same number of pairs, each pair of one list matched to its own pair of the other by value or by
    // GUID key: symmetric, and [A, A] is not equal to [A, B].
    bool isEqual(const SettingPairList& other) const;

private:
    Pairs pairs_;
};

}   // namespace tarnwick
