// Window: a placed window (host type 4, library-part type 2).
#pragma once

#include <memory>

#include "Elements/Joinery.h"

namespace tarnwick {

class Window : public Joinery {
public:
    static constexpr std::uint16_t kType = host::kElementWindow;
    static constexpr std::uint32_t kPartType = host::kLibraryWindow;

    static std::unique_ptr<Element> create(const host::ElementRecord& record, ElementLink& link);   // type 4

    Window(const host::ElementRecord& record, const ElementLink& link);   // the creator's form
    explicit Window(const ComponentLink& part);                           // a new window of the part
    // A new window from the host's defaults; with a memo, their parameters and gables.
    explicit Window(bool withMemo);
    Window();   // the same without a memo
    Window(const Window& other);
    ~Window() override;

    std::unique_ptr<Element> clone() const override;
    double getQuantityA() override;          // the host's window quantities: field 32 of its part of the mask
    double getQuantityB() override;          // 40
    double getQuantityD() override;          // 120
    double getQuantityE() override;          // 96
    double getQuantityF() override;          // 112
    double getOpeningQuantityB() override;   // 0
    double getOpeningQuantityC() override;   // 16
    // Takes a window part (type 0 counts as one); false, with nothing changed, for any other type.
    bool setComponent(const ComponentLink& link, bool resetSizes, bool mergeParameters) override;
    virtual void loadDefaults();   // the host's defaults with this window's own part
};

}   // namespace tarnwick
