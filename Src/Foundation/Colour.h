// Colour: red, green, blue and alpha as reals from 0 to 1, with the host's 8-bit and 16-bit channel forms.
#pragma once

#include <array>
#include <cstdint>

namespace tarnwick {

// A plain value; copy freely. Channels are not clamped when set: a value outside 0..1 is kept as given,
// and only the integer forms clamp it to their range.
class Colour {
public:
    static constexpr double kTolerance = 1e-5;   // per channel, for equality

    Colour() = default;   // all four channels 0
    Colour(double red, double green, double blue, double alpha);
    Colour(const std::array<double, 3>& rgb, double alpha);   // red, green, blue as getRGB gives them
    Colour(std::uint16_t red, std::uint16_t green, std::uint16_t blue,
           std::uint16_t alpha);   // each / 65535 (pass integers of this type:
                                   // a plain int literal is ambiguous)

    std::uint8_t red8() const;   // floor(red * 255 + 0.5), clamped to 0..255
    std::uint8_t green8() const;
    std::uint8_t blue8() const;
    std::array<std::uint8_t, 4> toBytes() const;    // red, green, blue, alpha as 8-bit channels
    std::array<std::uint16_t, 3> toWords() const;   // red, green, blue as floor(x * 65535 + 0.5), clamped
    std::array<double, 3> getRGB() const;           // red, green, blue

    bool operator==(const Colour& other) const;   // every channel within kTolerance
    bool operator!=(const Colour& other) const { return !(*this == other); }

    double red = 0.0;
    double green = 0.0;
    double blue = 0.0;
    double alpha = 0.0;
};

}   // namespace tarnwick
