#include "Foundation/Colour.h"

#include <cmath>

namespace tarnwick {
namespace {

constexpr double kWordScale = 65535.0;
constexpr double kByteScale = 255.0;

// floor(x * scale + 0.5), kept inside 0..scale so that an out-of-range channel cannot wrap around.
double toChannel(double x, double scale) {
    const double v = std::floor(x * scale + 0.5);
    if (!(v > 0.0)) return 0.0;   // also catches NaN
    return v > scale ? scale : v;
}

std::uint8_t toByte(double x) { return static_cast<std::uint8_t>(toChannel(x, kByteScale)); }
std::uint16_t toWord(double x) { return static_cast<std::uint16_t>(toChannel(x, kWordScale)); }

}   // namespace

Colour::Colour(double red, double green, double blue, double alpha)
    : red(red), green(green), blue(blue), alpha(alpha) {}

Colour::Colour(const std::array<double, 3>& rgb, double alpha)
    : red(rgb[0]), green(rgb[1]), blue(rgb[2]), alpha(alpha) {}

Colour::Colour(std::uint16_t red, std::uint16_t green, std::uint16_t blue, std::uint16_t alpha)
    : red(red / kWordScale), green(green / kWordScale), blue(blue / kWordScale), alpha(alpha / kWordScale) {}

std::uint8_t Colour::red8() const { return toByte(red); }
std::uint8_t Colour::green8() const { return toByte(green); }
std::uint8_t Colour::blue8() const { return toByte(blue); }

std::array<std::uint8_t, 4> Colour::toBytes() const {
    return {toByte(red), toByte(green), toByte(blue), toByte(alpha)};
}

std::array<std::uint16_t, 3> Colour::toWords() const { return {toWord(red), toWord(green), toWord(blue)}; }

std::array<double, 3> Colour::getRGB() const { return {red, green, blue}; }

bool Colour::operator==(const Colour& other) const {
    return std::abs(red - other.red) <= kTolerance && std::abs(green - other.green) <= kTolerance &&
           std::abs(blue - other.blue) <= kTolerance && std::abs(alpha - other.alpha) <= kTolerance;
}

}   // namespace tarnwick
