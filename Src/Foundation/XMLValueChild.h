// XMLValueChild: a value child of a record that the reader sets straight from its text, without a proxy.
#pragma once

#include <string_view>

#include "Foundation/XMLTypeProxy.h"

namespace tarnwick {

class XMLAssembly;

// One entry of a record's value table (XMLAssembly::getValueChildren): a bare tag and how to set the
// member behind it from the child's decoded text. The text forms are those of XMLTypeProxy<T>. The tag
// is borrowed, normally a literal of the record's child table.
struct XMLValueChild {
    std::string_view tag;
    bool (*setFromText)(XMLAssembly& record, std::string_view text);   // false: text refused, member kept

    // The entry for member, a pointer to a data member of a record class:
    // XMLValueChild::of<&Spec::name>(tag).
    template <auto member>
    static constexpr XMLValueChild of(std::string_view tag) {
        return {tag, &setMember<member>};
    }

private:
    template <typename>
    struct MemberOf;
    template <typename Record, typename T>
    struct MemberOf<T Record::*> {
        using RecordType = Record;
        using ValueType = T;
    };

    template <auto member>
    static bool setMember(XMLAssembly& record, std::string_view text) {
        using Of = MemberOf<decltype(member)>;
        auto& target = static_cast<typename Of::RecordType&>(record).*member;
        return XMLTypeProxy<typename Of::ValueType>(target, {}).setFromText(text);
    }
};

}   // namespace tarnwick
