// UniqueName: the rule by which a user database keeps the names of its records apart: a name that is
// taken gets the next free trailing number ("Door Style" -> "Door Style1", "Wall 07" -> "Wall 10").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Foundation/String.h"

namespace tarnwick {

// One search over the names of a set of records. The numbers are 64-bit, rests that are no number are
// skipped, and the result is checked against every name, so it never clashes with one of the set.
class UniqueName {
public:
    explicit UniqueName(const String& wanted);

    void add(const String& name);   // a name of the set; call for every record
    bool hasClash() const { return clash_; }
    String result() const;   // wanted unchanged when no name of the set equals it

private:
    String wanted_;
    std::string prefix_;
    std::uint32_t width_ = 0;   // trailing digits of the wanted name
    std::uint64_t largest_ = 0;
    bool largestIsMax_ = false;   // some rest reached the largest 64-bit number
    bool clash_ = false;
    std::vector<std::string> numbered_;   // names that start with the prefix, for the final check
};

}   // namespace tarnwick
