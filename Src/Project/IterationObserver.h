// IterationObserver: what a walk over a container's elements or attributes tells after each load.
#pragma once

namespace tarnwick {

// Not owned by the iterators that tell it; it must outlive them. The framework's own walks set none.
template <class Item>
class IterationObserver {
public:
    virtual ~IterationObserver() = default;
    // After each load: the item the walk now holds, null when that load gave none (the link's element
    // could not be made or the filter refused it, or nothing followed).
    virtual void loaded(const Item* item) = 0;
};

}   // namespace tarnwick
