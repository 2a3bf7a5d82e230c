// IndexRange: the rows a style template covers: a first row and a count.
#pragma once

#include <memory>
#include <span>
#include <string_view>

#include "Foundation/XMLAssembly.h"

namespace tarnwick {

// XML: <indexRange row="0" count="1"/>; a count of 0 is no range and fails the read.
class IndexRange : public XMLAssembly {
public:
    static constexpr std::string_view kTag = "indexRange";

    IndexRange(unsigned long long row = 0, unsigned long long count = 1);
    IndexRange(const IndexRange&) = default;
    IndexRange& operator=(const IndexRange&) = default;
    ~IndexRange() override;

    std::unique_ptr<XMLAssembly> clone() const override;
    void clear() override;   // row 0, count 0
    bool isValid() override { return count > 0; }

    unsigned long long row;
    unsigned long long count;

protected:
    std::span<const std::string_view> getChildTags() const override;
    std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override;
};

}   // namespace tarnwick
