#include <gtest/gtest.h>

#include "Interface/ScreenRect.h"

using namespace tarnwick;

TEST(ScreenRectTest, MeasuresEitherWayRoundAndIsEmptyWithoutWidthOrHeight) {
    const struct {
        ScreenRect rect;
        std::int16_t width, height;
        bool empty;
    } cases[] = {
        {ScreenRect({10, 20}, {40, 25}), 30, 5, false},
        {ScreenRect({40, 25}, {10, 20}), 30, 5, false},   // corners given right to left, bottom to top
        {ScreenRect({10, 20}, {10, 25}), 0, 5, true},
        {ScreenRect({10, 20}, {40, 20}), 30, 0, true},
        {ScreenRect(), 0, 0, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.rect.width(), c.width);
        EXPECT_EQ(c.rect.height(), c.height);
        EXPECT_EQ(c.rect.isEmpty(), c.empty);
    }
}
