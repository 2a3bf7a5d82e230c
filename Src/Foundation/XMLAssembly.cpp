#include "Foundation/XMLAssembly.h"

#include "Foundation/BlockPool.h"
#include "Foundation/XMLByteClass.h"
#include "Foundation/XMLProxy.h"
#include "Foundation/XMLValueChild.h"

namespace tarnwick {
namespace {

// Tags of one table mostly differ in length or first letter: those decide before the bytes are compared.
bool sameName(std::string_view tag, std::string_view name) {
    return tag.size() == name.size() &&
           (tag.empty() ||
            (tag[0] == name[0] && XMLByteClass::sameBytes(tag.data(), name.data(), tag.size())));
}

}   // namespace

XMLAssembly::XMLAssembly(std::string_view tag) : tag_(tag) {}

XMLAssembly::~XMLAssembly() = default;

void* XMLAssembly::operator new(std::size_t size) { return BlockPool::allocate(size); }

void XMLAssembly::operator delete(void* block, std::size_t size) noexcept { BlockPool::release(block, size); }

void XMLAssembly::clear() { present_ = true; }

bool XMLAssembly::isValid() { return true; }

std::size_t XMLAssembly::getChildCount() const { return getChildTags().size(); }

std::unique_ptr<XMLProxy> XMLAssembly::getChildProxy(std::size_t index, bool attributePass) {
    std::unique_ptr<XMLProxy> proxy = makeChildProxy(index);
    if (proxy && proxy->isAttribute() != attributePass) return nullptr;
    return proxy;
}

std::unique_ptr<XMLProxy> XMLAssembly::getChildProxy(std::size_t index) { return makeChildProxy(index); }

std::unique_ptr<XMLProxy> XMLAssembly::findChild(std::string_view name, bool) {
    // The table holds bare tags. A name with a prefix matches a tag whose proxy has that namespace.
    const std::span<const std::string_view> tags = getChildTags();
    for (std::size_t index = 0; index < tags.size(); ++index) {
        if (!sameName(tags[index], name)) continue;
        std::unique_ptr<XMLProxy> proxy = makeChildProxy(index);
        if (proxy && proxy->getNamespace().empty()) return proxy;
    }
    const std::size_t colon = name.find(':');
    if (colon == std::string_view::npos) return nullptr;
    const std::string_view prefix = name.substr(0, colon);
    const std::string_view tag = name.substr(colon + 1);
    for (std::size_t index = 0; index < tags.size(); ++index) {
        if (!sameName(tags[index], tag)) continue;
        std::unique_ptr<XMLProxy> proxy = makeChildProxy(index);
        if (proxy && proxy->getNamespace() == prefix) return proxy;
    }
    return nullptr;
}

std::span<const XMLValueChild> XMLAssembly::getValueChildren() const { return {}; }

const XMLValueChild* XMLAssembly::findValueChild(std::span<const XMLValueChild> table,
                                                 std::string_view name) {
    for (const XMLValueChild& entry : table) {
        if (sameName(entry.tag, name)) return &entry;
    }
    return nullptr;
}

bool XMLAssembly::hasChildTag(std::string_view tag) const {
    for (const std::string_view entry : getChildTags()) {
        if (sameName(entry, tag)) return true;
    }
    return false;
}

std::span<const std::string_view> XMLAssembly::getChildTags() const { return {}; }

std::unique_ptr<XMLProxy> XMLAssembly::makeChildProxy(std::size_t) { return nullptr; }

}   // namespace tarnwick
