// FileNamePattern: a file-name pattern with wildcards, such as "*.xml" or "ab*cd*ef".
#pragma once

#include <string>
#include <vector>

#include "Foundation/String.h"

namespace tarnwick {

// The stem is the wildcard text ("*"); an empty stem is taken as "*". Names compare exactly (case and
// all, byte for byte). A pattern of only wildcards accepts every name; one without any compares whole.
class FileNamePattern {
public:
    explicit FileNamePattern(const String& pattern, const String& stem = String("*"));

    // True when the name starts with the text before the first wildcard, ends with the text after the
    // last, and holds the texts between wildcards in order, none of them overlapping another.
    bool matches(const String& name) const;

private:
    bool hasWildcard_ = false;
    std::vector<std::string> parts_;   // the texts between wildcards (first = prefix, last = suffix)
};

}   // namespace tarnwick
