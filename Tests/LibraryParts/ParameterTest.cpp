#include "LibraryParts/Parameter.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "Foundation/Int32Setting.h"
#include "Foundation/Setting.h"
#include "Foundation/TracedException.h"
#include "LibraryParts/BooleanParameter.h"
#include "LibraryParts/IntegerParameter.h"
#include "LibraryParts/LengthParameter.h"
#include "LibraryParts/RealParameter.h"
#include "LibraryParts/StringParameter.h"
#include "LibraryParts/TitleParameter.h"

using namespace tarnwick;

namespace {

// A real array of the given rows and columns, holding 1, 2, 3, ... row by row.
std::unique_ptr<RealParameter> realGrid(std::uint64_t rows, std::uint64_t columns, const char* name = "g") {
    auto parameter = std::make_unique<RealParameter>(name, "", 0, columns, 0, /*array=*/true);
    for (std::uint64_t r = 0; r < rows; ++r)
        for (std::uint64_t c = 0; c < columns; ++c) parameter->set(double(r * columns + c + 1), r, c);
    return parameter;
}

std::unique_ptr<RealParameter> realScalar(double value, const char* name = "s") {
    auto parameter = std::make_unique<RealParameter>(name, "", 0, 0, 0, /*array=*/false);
    parameter->set(value, 0, 0);
    return parameter;
}

std::vector<double> valuesOf(const Parameter& parameter) {
    std::vector<double> values;
    for (std::uint64_t r = 0; r < parameter.getRowCount(); ++r)
        for (std::uint64_t c = 0; c < parameter.getColumnCount(); ++c)
            values.push_back(parameter.makeSetting(r, c)->getReal());
    return values;
}

}   // namespace

TEST(Parameter, ChangesShapeAsScalarsAndArraysAllow) {
    auto scalar = realScalar(7);
    EXPECT_FALSE(scalar->isArray());
    EXPECT_EQ(scalar->getColumnCount(), 1u);
    EXPECT_EQ(scalar->getRowCount(), 1u);
    EXPECT_FALSE(scalar->addRows(1));
    EXPECT_FALSE(scalar->setRowCount(3));
    EXPECT_EQ(valuesOf(*scalar), std::vector<double>{7});

    scalar->setArray(true);   // a 1 x 2 array whose second value is zero
    EXPECT_TRUE(scalar->isArray());
    EXPECT_EQ(valuesOf(*scalar), (std::vector<double>{7, 0}));

    auto grid = realGrid(3, 2);
    EXPECT_TRUE(grid->setRowCount(0));   // keeps one row
    EXPECT_EQ(valuesOf(*grid), (std::vector<double>{1, 2}));

    grid = realGrid(2, 3);
    EXPECT_TRUE(grid->setColumnCount(2));   // every row keeps its first columns
    EXPECT_EQ(valuesOf(*grid), (std::vector<double>{1, 2, 4, 5}));
    grid->addColumns(1);
    EXPECT_EQ(valuesOf(*grid), (std::vector<double>{1, 2, 0, 4, 5, 0}));

    grid = realGrid(3, 2);
    grid->setArray(false);   // a scalar of the first value, not a scalar holding six
    EXPECT_FALSE(grid->isArray());
    EXPECT_EQ(grid->getRowCount(), 1u);
    EXPECT_EQ(valuesOf(*grid), std::vector<double>{1});
}

TEST(Parameter, ReadsNeverGrowAnArrayAndWritesOutsideAScalarThrow) {
    auto grid = realGrid(2, 1);
    EXPECT_TRUE(grid->makeSetting(5, 0)->isEmpty());
    EXPECT_EQ(grid->getText(4294967295u, 0), "");
    EXPECT_EQ(grid->getRowCount(), 2u);

    grid->set(9, 3, 0);   // a write grows the array with zero rows
    EXPECT_EQ(valuesOf(*grid), (std::vector<double>{1, 2, 0, 9}));

    auto scalar = realScalar(1);
    EXPECT_TRUE(scalar->makeSetting(1, 0)->isEmpty());
    try {
        scalar->set(2, 1, 0);
        FAIL() << "a cell outside a scalar was written";
    } catch (const TracedException& e) {
        EXPECT_EQ(e.getKind(), "out_of_range");
        EXPECT_EQ(e.getPlace(), "Parameter::getValueIndex");
    }
    EXPECT_THROW(grid->set(1, 4294967295u, 0), TracedException);   // "all rows" is no row to make
    EXPECT_EQ(grid->getRowCount(), 4u);
}

TEST(Parameter, ReadsAndWritesCellsAsText) {
    BooleanParameter flag("f", "", 0, 0, 0, false);
    const std::pair<const char*, bool> flags[] = {{"yes", true}, {"0", false}, {"1", true}, {"", true}};
    for (const auto& [text, value] : flags) {
        flag.setText(text, 0, 0);
        EXPECT_EQ(flag.get(0, 0), value) << text;
        EXPECT_EQ(flag.getText(0, 0), value ? "1" : "0");
    }

    IntegerParameter pen("p", "", 0, 0, 0, false);
    pen.setText("70000", 0, 0);   // kept in 16 bits
    EXPECT_EQ(pen.get(0, 0), static_cast<std::int16_t>(70000 & 0xFFFF));
    pen.setText("-12", 0, 0);
    EXPECT_EQ(pen.getText(0, 0), "-12");

    RealParameter real("r", "", 0, 0, 0, false);
    real.setText("1234.5678", 0, 0);
    EXPECT_EQ(real.getText(0, 0), "1234.5678");   // no digits lost on the way back
    real.setText("0.1", 0, 0);
    EXPECT_EQ(real.getText(0, 0), "0.1");
    real.setText("1e999", 0, 0);   // infinite: the cell keeps its value
    EXPECT_EQ(real.getText(0, 0), "0.1");
    real.set(std::numeric_limits<double>::infinity(), 0, 0);   // set by value stores it
    EXPECT_TRUE(std::isinf(real.get(0, 0)));

    StringParameter text("t", "", 0, 0, 0, false);
    text.setText("Grüße 😀", 0, 0);
    EXPECT_EQ(text.getText(0, 0), "Grüße 😀");
}

TEST(Parameter, CopiesOnlyFromItsOwnKindAndShapeAsAllowed) {
    auto three = realGrid(3, 1);
    auto four = realGrid(4, 1);
    EXPECT_FALSE(three->copyFrom(*four, /*resizeRows=*/false, true));
    EXPECT_EQ(three->getRowCount(), 3u);
    EXPECT_TRUE(three->copyFrom(*four, true, true));
    EXPECT_TRUE(three->isEqual(*four));

    LengthParameter length("g", "", 0, 1, 0, true);
    EXPECT_FALSE(length.copyFrom(*four, true, true));   // another type code
    StringParameter text("g", "", 0, 0, 0, false);
    EXPECT_FALSE(text.copyFrom(*four, true, true));

    // A scalar taking a one-column array's values becomes that array.
    auto scalar = realScalar(5);
    EXPECT_TRUE(scalar->copyFrom(*four, true, true));
    EXPECT_TRUE(scalar->isArray());
    EXPECT_EQ(valuesOf(*scalar), (std::vector<double>{1, 2, 3, 4}));
    EXPECT_TRUE(four->copyFrom(*realScalar(6), true, true));   // an array stays one, of one column
    EXPECT_TRUE(four->isArray());
    EXPECT_EQ(valuesOf(*four), (std::vector<double>{6}));

    auto nan = realScalar(std::nan(""));
    EXPECT_FALSE(nan->isEqual(*nan->clone()));   // a value that is not a number never equals

    TitleParameter title("Size", "Sizes of the part", 0, 0, 0, false);
    title.reset();
    EXPECT_TRUE(title.getName().isEmpty());
    EXPECT_TRUE(title.getDescription().isEmpty());
}

// The carry-over: this = the element's parameter, newer/older = the new and old part's defaults.
TEST(Parameter, MergeKeepsWhatTheUserChangedAndTakesNewDefaultsElsewhere) {
    struct Case {
        const char* what;
        std::unique_ptr<Parameter> current, newer, older;
        std::vector<double> expected;
        bool array;
    };
    std::vector<Case> cases;
    cases.push_back(
        {"unchanged value takes the new default", realScalar(1), realScalar(2), realScalar(1), {2}, false});
    cases.push_back({"changed value survives", realScalar(5), realScalar(2), realScalar(1), {5}, false});
    cases.push_back(
        {"changed value survives equal defaults", realScalar(5), realScalar(1), realScalar(1), {5}, false});
    {
        auto current = realGrid(2, 1);
        current->set(7, 1, 0);   // the user changed row 1
        cases.push_back({"new rows come from new",
                         std::move(current),
                         realGrid(4, 1),
                         realGrid(2, 1),
                         {1, 7, 3, 4},
                         true});
    }
    {
        auto newer = realGrid(3, 1);
        newer->set(8, 0, 0);
        cases.push_back({"a scalar that became an array",
                         realScalar(5),
                         std::move(newer),
                         realScalar(1),
                         {5, 2, 3},
                         true});
    }
    {
        auto newer = realGrid(1, 3);
        cases.push_back(
            {"new columns come from new", realGrid(1, 2), std::move(newer), realGrid(1, 2), {1, 2, 3}, true});
    }
    cases.push_back(
        {"an array that became a scalar", realGrid(3, 1), realScalar(4), realGrid(3, 1), {4}, false});
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NO_THROW(c.current->merge(*c.newer, *c.older));
        EXPECT_EQ(valuesOf(*c.current), c.expected);
        EXPECT_EQ(c.current->isArray(), c.array);
    }

    // Old and new of different types: only a parameter of the new type takes the new one whole.
    LengthParameter older("w", "", 0, 0, 0, false);
    StringParameter newer("w", "", 0, 0, 0, false);
    newer.set("oak", 0, 0);
    StringParameter text("w", "", 0, 0, 0, false);
    text.merge(newer, older);
    EXPECT_EQ(text.get(0, 0), "oak");
    LengthParameter length("w", "", 0, 0, 0, false);
    length.set(2.5, 0, 0);
    length.merge(newer, older);
    EXPECT_DOUBLE_EQ(length.get(0, 0), 2.5);
}

TEST(Parameter, FactoriesMakeTheKindOfTheTypeCodeOrNothing) {
    for (std::int32_t code = 0; code <= 17; ++code) {
        host::ParameterRecord record{};
        record.type = code;
        const std::unique_ptr<Parameter> parameter = Parameter::create(record);
        if (code < 1 || code > 16) {
            EXPECT_EQ(parameter, nullptr) << code;
            continue;
        }
        ASSERT_NE(parameter, nullptr) << code;
        EXPECT_EQ(static_cast<std::int32_t>(parameter->getType()), code);
        EXPECT_EQ(static_cast<std::int32_t>(parameter->clone()->getType()), code);
    }
    host::CommandParameterRecord command{};
    command.kind = 2;
    command.integer = 100000;   // a 32-bit value stays whole
    const std::unique_ptr<Parameter> long32 = Parameter::createFromCommand(command);
    ASSERT_NE(long32, nullptr);
    EXPECT_EQ(long32->getText(0, 0), "100000");
    command.kind = 4;
    EXPECT_EQ(Parameter::createFromCommand(command), nullptr);
}
