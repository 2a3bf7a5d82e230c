#include "Elements/Window.h"

#include "Project/ElementMemoStore.h"
#include "Project/HostProject.h"
#include "Project/Project.h"

namespace tarnwick {

namespace {

Library* projectLibrary() {
    Project* project = HostProject::getProject();
    return project != nullptr ? project->getLibrary() : nullptr;
}

std::int32_t libraryIndexOf(const host::ElementRecord& record) {
    std::int32_t index = 0;
    std::memcpy(&index, reinterpret_cast<const unsigned char*>(&record) + host::kOpeningLibraryIndexOffset,
                sizeof index);
    return index;
}

}   // namespace

std::unique_ptr<Element> Window::create(const host::ElementRecord& record, ElementLink& link) {
    if (record.head.type != kType) return nullptr;
    return std::make_unique<Window>(record, link);
}

Window::Window(const host::ElementRecord& record, const ElementLink& link)
    : Joinery(record, link, ComponentLink(libraryIndexOf(record), kPartType, projectLibrary())) {}

Window::Window(const ComponentLink& part) : Joinery(ElementLink(kType, 0), part) { loadDefaults(); }

Window::Window(const String& partName, Library* library)
    : Window(ComponentLink(partName, kPartType, library != nullptr ? library : projectLibrary())) {}

Window::Window(bool withMemo) : Joinery(ElementLink(kType, 0), ComponentLink()) {
    std::unique_ptr<ElementMemoStore> memo = withMemo ? std::make_unique<ElementMemoStore>() : nullptr;
    if (readDefaults(memo.get()) && memo) ComponentElem::loadMemo(kFullMemoMask, memo);
    const std::int32_t index = getLibraryIndex();
    Joinery::setComponent(ComponentLink(index, kPartType, index != 0 ? projectLibrary() : nullptr), !withMemo,
                          !withMemo);
}

Window::Window(const Window& other) = default;
Window::~Window() = default;

std::unique_ptr<Element> Window::clone() const { return std::make_unique<Window>(*this); }

double Window::getQuantityA() { return quantity(host::kQuantityMaskWindow, 32); }
double Window::getQuantityB() { return quantity(host::kQuantityMaskWindow, 40); }
double Window::getQuantityD() { return quantity(host::kQuantityMaskWindow, 120); }
double Window::getQuantityE() { return quantity(host::kQuantityMaskWindow, 96); }
double Window::getQuantityF() { return quantity(host::kQuantityMaskWindow, 112); }
double Window::getOpeningQuantityB() { return quantity(host::kQuantityMaskWindow, 0); }
double Window::getOpeningQuantityC() { return quantity(host::kQuantityMaskWindow, 16); }

bool Window::setComponent(const ComponentLink& link, bool resetSizes, bool mergeParameters) {
    if (link.getType() != 0 && link.getType() != kPartType) return false;
    const ComponentLink part(link.getIndex(), kPartType,
                             link.getLibrary() != nullptr ? link.getLibrary() : projectLibrary());
    return Joinery::setComponent(part, resetSizes, mergeParameters);
}

void Window::loadDefaults() {
    readDefaults(nullptr);   // a failed call leaves zeros
    getMutableTypeRecord().writeNeedsMemo = 1;
    put(host::kOpeningLibraryIndexOffset, componentLink_.getIndex());
}

}   // namespace tarnwick
