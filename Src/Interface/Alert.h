// Alert: a message box shown through the host's alert, with a kind and a title.
#pragma once

#include <cstdint>

#include "Foundation/String.h"

namespace tarnwick {

// Made on the stack where it is shown; copyable. The kinds are the host's alert kinds.
class Alert {
public:
    enum Kind : std::int16_t {
        kInformation = -3,
        kWarning = -2,
        kError = -1,
    };

    Alert(std::int16_t kind, const String& title);   // both kept as given

    // Virtual operations, in this order.
    virtual ~Alert();
    // The message as the large text, no small text, one button "OK". The 1-based number of the button
    // pressed.
    virtual std::int16_t show(const String& message);

    String getTitle() const { return title_; }
    std::int16_t getKind() const { return kind_; }

protected:
    Alert(const Alert&) = default;
    Alert& operator=(const Alert&) = default;

    // The host's alert with all its texts; the button number cut to 16 bits.
    std::int16_t showAlert(const String& largeText, const String& smallText, const String& first,
                           const String& second, const String& third) const;
    // An empty title becomes item `item` of the framework's string list.
    static String titleOrDefault(const String& title, std::int32_t item);

    static constexpr std::int16_t kFrameworkStrings = 32700;   // the framework's string list
    static constexpr std::int32_t kOkItem = 5;                 // "OK"
    static constexpr std::int32_t kCancelItem = 6;             // "Cancel"

private:
    std::int16_t kind_;
    String title_;
};

}   // namespace tarnwick
