#include "Elements/Window.h"

namespace tarnwick {

std::unique_ptr<Element> Window::create(const host::ElementRecord& record, ElementLink& link) {
    if (record.head.type != kType) return nullptr;
    return std::make_unique<Window>(record, link);
}

Window::Window(const host::ElementRecord& record, const ElementLink& link)
    : Joinery(record, link, partOf(record, kPartType)) {}

Window::Window(const ComponentLink& part) : Joinery(ElementLink(kType, 0), part) { loadDefaults(); }

Window::Window(bool withMemo) : Joinery(ElementLink(kType, 0), ComponentLink()) {
    takeHostDefaults(withMemo, kPartType);
}

Window::Window() : Window(false) {}

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
    return setPartOfType(link, kPartType, resetSizes, mergeParameters);
}

void Window::loadDefaults() { loadOpeningDefaults(); }

}   // namespace tarnwick
