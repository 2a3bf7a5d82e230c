// NameRequest: asks the user for a name in the small modal "Name Request" dialog, and lets a filter refuse
// unsuitable names while the dialog is still open.
#pragma once

#include <cstdint>

#include "Foundation/String.h"

namespace tarnwick {

// Asked once: a second request gives the name it got without showing anything. The filter is borrowed
// (may be null: every name is accepted).
class NameRequest {
public:
    static constexpr std::uint16_t kDialogId = 32600;

    // Decides whether a name will do; the base takes every name.
    class Filter {
    public:
        virtual ~Filter() = default;
        // False refuses the name; a message left non-empty is shown in an error alert first.
        virtual bool accept(const String& name, String& message);
    };

    // An empty title or prompt takes the framework's ("New Name Entry", "Please specify a name").
    NameRequest(Filter* filter, const String& title, const String& prompt, const String& name);

    // The accepted name; the initial one when the user cancelled (see isCancelled) or the dialog could
    // not be shown.
    String request();
    bool isCancelled() const { return cancelled_ != 0; }
    bool wasAsked() const { return asked_ != 0; }

    Filter* getFilter() const { return filter_; }
    const String& getTitle() const { return title_; }
    const String& getPrompt() const { return prompt_; }
    const String& getName() const { return name_; }

private:
    Filter* filter_;
    String title_;
    String prompt_;
    String name_;
    std::uint8_t asked_ = 0;
    std::uint8_t cancelled_ = 0;
};

}   // namespace tarnwick
