#include "Styles/IndexRange.h"

#include "Foundation/XMLTypeProxy.h"

namespace tarnwick {
namespace {
constexpr std::string_view kChildTags[] = {"row", "count"};
}   // namespace

IndexRange::IndexRange(unsigned long long row, unsigned long long count)
    : XMLAssembly(kTag), row(row), count(count) {}

IndexRange::~IndexRange() = default;

std::unique_ptr<XMLAssembly> IndexRange::clone() const { return std::make_unique<IndexRange>(*this); }

void IndexRange::clear() {
    row = 0;
    count = 0;
    XMLAssembly::clear();
}

std::span<const std::string_view> IndexRange::getChildTags() const { return kChildTags; }

std::unique_ptr<XMLProxy> IndexRange::makeChildProxy(std::size_t index) {
    switch (index) {
        case 0:
            return std::make_unique<XMLTypeProxy<unsigned long long>>(row, kChildTags[0], true);
        case 1:
            return std::make_unique<XMLTypeProxy<unsigned long long>>(count, kChildTags[1], true);
        default:
            return nullptr;
    }
}

}   // namespace tarnwick
