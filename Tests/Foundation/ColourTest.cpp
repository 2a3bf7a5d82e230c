#include "Foundation/Colour.h"

#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(Colour, RoundsChannelsToBytesHalfUpAndClampsOutOfRange) {
    const std::pair<double, int> cases[] = {{0.0, 0},
                                            {1.0, 255},
                                            {0.5, 128},   // 127.5 rounds up
                                            {127.49 / 255, 127},
                                            {127.5 / 255, 128},
                                            {1.0 / 255, 1},
                                            {-0.2, 0},
                                            {1.5, 255},
                                            {std::numeric_limits<double>::quiet_NaN(), 0}};
    for (const auto& [x, byte] : cases) {
        SCOPED_TRACE(x);
        const Colour colour(x, x, x, x);
        EXPECT_EQ(colour.red8(), byte);
        EXPECT_EQ(colour.green8(), byte);
        EXPECT_EQ(colour.blue8(), byte);
        EXPECT_EQ(colour.toBytes()[3], byte);
    }
}

TEST(Colour, KeepsChannelsApartInEveryForm) {
    const Colour colour(0.0, 0.25, 0.5, 1.0);
    EXPECT_EQ(colour.red8(), 0);
    EXPECT_EQ(colour.green8(), 64);
    EXPECT_EQ(colour.blue8(), 128);
    const std::array<std::uint8_t, 4> bytes{0, 64, 128, 255};
    EXPECT_EQ(colour.toBytes(), bytes);
    const std::array<std::uint16_t, 3> words{0, 16384, 32768};
    EXPECT_EQ(colour.toWords(), words);
    EXPECT_EQ(Colour(colour.getRGB(), 1.0), colour);
}

TEST(Colour, SixteenBitChannelsSurviveTheRoundTrip) {
    for (std::uint32_t word = 0; word <= 65535; word += 257) {
        const auto w = static_cast<std::uint16_t>(word);
        const Colour colour(w, static_cast<std::uint16_t>(65535 - w), w, w);
        const auto words = colour.toWords();
        EXPECT_EQ(words[0], w);
        EXPECT_EQ(words[1], 65535 - w);
        EXPECT_EQ(words[2], w);
    }
    EXPECT_EQ(Colour(std::uint16_t{65535}, std::uint16_t{0}, std::uint16_t{0}, std::uint16_t{65535}),
              Colour(1.0, 0.0, 0.0, 1.0));
}

TEST(Colour, WordsClampOutOfRangeChannels) {
    const std::array<std::uint16_t, 3> words{0, 65535, 0};
    EXPECT_EQ(Colour(-1.0, 2.0, std::numeric_limits<double>::quiet_NaN(), 1.0).toWords(), words);
}

TEST(Colour, EqualsWithinTheToleranceOnEveryChannel) {
    const Colour base(0.2, 0.4, 0.6, 0.8);
    for (int channel = 0; channel < 4; ++channel) {
        SCOPED_TRACE(channel);
        for (const auto& [step, equal] :
             {std::pair{0.9e-5, true}, {-0.9e-5, true}, {1.1e-5, false}, {-1.1e-5, false}}) {
            Colour other = base;
            double* channels[] = {&other.red, &other.green, &other.blue, &other.alpha};
            *channels[channel] += step;
            EXPECT_EQ(base == other, equal) << step;
            EXPECT_EQ(base != other, !equal) << step;
        }
    }
}

}   // namespace
}   // namespace tarnwick
