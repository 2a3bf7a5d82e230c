#include "LibraryParts/ParameterList.h"

#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "Foundation/RealSetting.h"
#include "Foundation/TracedException.h"
#include "LibraryParts/LengthParameter.h"
#include "LibraryParts/RealParameter.h"
#include "LibraryParts/StringParameter.h"

using namespace tarnwick;

namespace {

std::unique_ptr<Parameter> real(const char* name, double value) {
    auto parameter = std::make_unique<RealParameter>(name, "", 0, 0, 0, false);
    parameter->set(value, 0, 0);
    return parameter;
}

std::unique_ptr<Parameter> text(const char* name, const char* value) {
    auto parameter = std::make_unique<StringParameter>(name, "", 0, 0, 0, false);
    parameter->set(value, 0, 0);
    return parameter;
}

ParameterList listOf(std::vector<std::unique_ptr<Parameter>> parameters) {
    ParameterList list;
    for (auto& parameter : parameters) list.push_back(std::move(parameter));
    return list;
}

// "name=value" of every parameter in order.
std::string describe(const ParameterList& list) {
    std::string out;
    for (std::uint64_t i = 0; i < list.size(); ++i) {
        if (!out.empty()) out += ' ';
        out += std::string(list.at(i)->getName().getView()) + "=" +
               std::string(list.at(i)->getText(0, 0).getView());
    }
    return out;
}

std::vector<std::unique_ptr<Parameter>> reals(std::initializer_list<std::pair<const char*, double>> values) {
    std::vector<std::unique_ptr<Parameter>> parameters;
    for (const auto& [name, value] : values) parameters.push_back(real(name, value));
    return parameters;
}

}   // namespace

TEST(ParameterList, FindsNamesWithoutRegardToCase) {
    ParameterList list = listOf(reals({{"A", 1}, {"ZZYZX", 2}, {"zzyzx", 3}}));
    EXPECT_EQ(list.indexOf("zzyzx"), 1u);
    EXPECT_EQ(list.find("a")->getText(0, 0), "1");
    EXPECT_EQ(list.indexOf("b"), ParameterList::kNotFound);
    EXPECT_EQ(ParameterList::kNotFound, 4294967295u);
    EXPECT_EQ(list.getValue("Zzyzx", 0, 0)->getReal(), 2.0);
    EXPECT_EQ(list.getValue("none", 0, 0), nullptr);
    EXPECT_TRUE(list.setValue(RealSetting(9), "A", 0, 0));
    EXPECT_FALSE(list.setValue(RealSetting(9), "none", 0, 0));
    EXPECT_EQ(describe(list), "A=9 ZZYZX=2 zzyzx=3");

    const std::pair<const char*, std::string> places[] = {{"front", "ParameterList::front"},
                                                          {"back", "ParameterList::back"},
                                                          {"[]", "ParameterList::operator[]"},
                                                          {"[] const", "ParameterList::operator[] const"}};
    ParameterList empty;
    for (const auto& [what, place] : places) {
        try {
            const std::string operation(what);
            if (operation == "front") empty.front();
            if (operation == "back") empty.back();
            if (operation == "[]") empty[0];
            if (operation == "[] const") std::as_const(empty)[0];
            ADD_FAILURE() << what << " did not throw";
        } catch (const TracedException& e) {
            EXPECT_EQ(e.getKind(), "out_of_range");
            EXPECT_EQ(e.getPlace(), place.c_str());
        }
    }
}

TEST(ParameterList, CopiesAreDeepAndAPlaceKeepsItsOwnParameter) {
    ParameterList list = listOf(reals({{"a", 1}}));
    ParameterList copy(list);
    copy.at(0)->setText("2", 0, 0);
    ParameterList assigned;
    assigned = list;
    list.at(0)->setText("3", 0, 0);
    EXPECT_EQ(describe(copy), "a=2");
    EXPECT_EQ(describe(assigned), "a=1");

    Parameter* kept = list.at(0);
    list.set(std::unique_ptr<Parameter>(kept), 0);   // the same object: nothing is deleted
    EXPECT_EQ(describe(list), "a=3");
    list.set(real("b", 4), 7);   // past the end: appended
    list.insert(real("c", 5), 0);
    list.erase(9);   // nothing
    EXPECT_EQ(describe(list), "c=5 a=3 b=4");
}

TEST(ParameterList, MergesSameNamedValuesFromTheFirstOfThemAndCanSkipTheSizes) {
    ParameterList list = listOf(reals({{"a", 1}, {"B", 1}, {"zzyzx", 1}, {"w", 1}, {"v", 1}}));
    ParameterList other = listOf(reals({{"w", 2}, {"a", 2}, {"B", 2}, {"zzyzx", 2}, {"w", 3}}));
    other.push_back(text("v", "x"));   // another type: v keeps its value
    list.merge(other, /*skipSizes=*/true, true, true);
    EXPECT_EQ(describe(list), "a=1 B=1 zzyzx=1 w=2 v=1");
    list.merge(other, /*skipSizes=*/false, true, true);
    EXPECT_EQ(describe(list), "a=2 B=2 zzyzx=2 w=2 v=1");
}

TEST(ParameterList, UpdatesThreeWayFromTheOldAndTheNewDefinition) {
    struct Case {
        const char* what;
        ParameterList current, newer, older;
        std::string expected;
    };
    std::vector<Case> cases;
    cases.push_back({"gone, kept, new and own", listOf(reals({{"a", 1}, {"b", 5}, {"d", 4}})),
                     listOf(reals({{"b", 3}, {"c", 3}})), listOf(reals({{"a", 1}, {"b", 2}})),
                     "b=5 d=4 c=3"});
    cases.push_back({"unchanged values follow the new defaults", listOf(reals({{"x", 1}, {"y", 2}})),
                     listOf(reals({{"x", 10}, {"y", 20}})), listOf(reals({{"x", 1}, {"y", 3}})), "x=10 y=2"});
    {
        std::vector<std::unique_ptr<Parameter>> newer;
        newer.push_back(text("m", "oak"));
        newer.push_back(real("n", 1));
        cases.push_back({"a type change replaces in place", listOf(reals({{"m", 5}, {"n", 1}})),
                         listOf(std::move(newer)), listOf(reals({{"m", 5}, {"n", 1}})), "m=oak n=1"});
    }
    cases.push_back({"a name only new lists, already here, stays one", listOf(reals({{"a", 1}, {"k", 7}})),
                     listOf(reals({{"a", 1}, {"K", 9}})), listOf(reals({{"a", 1}})), "a=1 k=7"});
    cases.push_back({"appended in reverse order of old, then of new", ParameterList(),
                     listOf(reals({{"p", 1}, {"q", 2}, {"r", 3}, {"s", 4}})),
                     listOf(reals({{"p", 0}, {"q", 0}})), "q=2 p=1 s=4 r=3"});
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.current.update(c.newer, c.older);
        EXPECT_EQ(describe(c.current), c.expected);
    }
}

TEST(ParameterList, CopiesOneParameterWholeOrByRowsWithoutChangingTheSource) {
    auto grid = std::make_unique<LengthParameter>("g", "", 0, 2, 0, true);
    for (std::uint64_t i = 0; i < 4; ++i) grid->set(double(i + 1), i / 2, i % 2);
    ParameterList source;
    source.push_back(std::move(grid));
    ParameterList target;
    target.push_back(std::make_unique<LengthParameter>("G", "", 0, 0, 0, false));

    target.copyParameter(source, "g", ParameterList::kAll, ParameterList::kAll, true, false);   // refused
    EXPECT_FALSE(target.at(0)->isArray());
    target.copyParameter(source, "g", 3, ParameterList::kAll, true, true);   // three rows: the third empty
    EXPECT_EQ(target.at(0)->getRowCount(), 3u);
    EXPECT_EQ(target.at(0)->getText(1, 1), "4");
    EXPECT_EQ(target.at(0)->getText(2, 0), "0");
    EXPECT_EQ(source.at(0)->getRowCount(), 2u);
    target.at(0)->setText("9", 1, 1);
    target.copyParameter(source, "g", 2, /*columns=*/1, true, true);   // shaped only: no values copied
    EXPECT_EQ(target.at(0)->getRowCount(), 2u);
    EXPECT_EQ(target.at(0)->getText(1, 1), "9");
    target.copyParameter(source, "g", ParameterList::kAll, ParameterList::kAll, true, true);
    EXPECT_TRUE(target.at(0)->isEqual(*source.at(0)));
}

// The update finds names at the places its previous matches suggest, else through an index; this walks
// the lists for every name instead. On unrelated random lists the places mostly miss; on lists made from
// one another (some names gone, come, moved or doubled) they mostly hold, and names repeat and differ in
// case, also beyond ASCII and beyond eight bytes.
TEST(ParameterList, UpdatesAsAWalkOfTheListsWould) {
    const auto naive = [](ParameterList& current, const ParameterList& newer, const ParameterList& older) {
        const auto firstExact = [](const ParameterList& list, const String& name) {
            for (std::uint64_t i = 0; i < list.size(); ++i)
                if (list.at(i)->getName() == name) return i;
            return ParameterList::kNotFound;
        };
        for (std::uint64_t i = older.size(); i-- > 0;) {
            const Parameter& old = *older.at(i);
            const std::uint64_t p = current.indexOf(old.getName());
            const std::uint64_t n = firstExact(newer, old.getName());
            if (n != ParameterList::kNotFound) {
                const Parameter& fresh = *newer.at(n);
                if (p == ParameterList::kNotFound)
                    current.push_back(fresh.clone());
                else if (current.at(p)->getType() == fresh.getType())
                    current.at(p)->merge(fresh, old);
                else
                    current.set(fresh.clone(), p);
            } else if (p != ParameterList::kNotFound) {
                current.erase(p);
            }
        }
        for (std::uint64_t i = newer.size(); i-- > 0;) {
            const Parameter& fresh = *newer.at(i);
            if (firstExact(older, fresh.getName()) != ParameterList::kNotFound) continue;
            const std::uint64_t p = current.indexOf(fresh.getName());
            if (p == ParameterList::kNotFound)
                current.push_back(fresh.clone());
            else if (current.at(p)->getType() != fresh.getType())
                current.set(fresh.clone(), p);
        }
    };
    std::uint32_t random = 12345;
    const auto next = [&random](std::uint32_t below) {
        random = random * 1103515245u + 12345u;
        return (random >> 16) % below;
    };
    // "\xC3\x84" and "\xC3\xA4" are A and a with diaeresis; "\xC4\xB0", capital I with dot above, is "i"
    // in lower case.
    const char* names[] = {"a", "A", "b", "B", "zz", "ZZ", "i", "I", "\xC3\x84", "\xC3\xA4", "\xC4\xB0"};
    const char* longNames[] = {"par_10", "PAR_10", "long_parameter_name", "LONG_Parameter_Name"};
    const auto randomParameter = [&] {
        const char* name =
            next(4) == 0 ? longNames[next(std::size(longNames))] : names[next(std::size(names))];
        return next(4) == 0 ? text(name, "t") : real(name, double(next(3)));
    };
    const auto randomList = [&](std::uint32_t longest) {
        ParameterList list;
        for (std::uint32_t i = next(longest + 1); i-- > 0;) list.push_back(randomParameter());
        return list;
    };
    // A copy of the list with a few parameters dropped, added, doubled or swapped with their neighbour.
    const auto changed = [&](const ParameterList& from) {
        ParameterList list(from);
        for (std::uint32_t edits = next(4); edits-- > 0;) {
            const std::uint64_t at = next(static_cast<std::uint32_t>(list.size()) + 1);
            switch (next(4)) {
                case 0:
                    list.erase(at);
                    break;
                case 1:
                    list.insert(randomParameter(), at);
                    break;
                case 2:
                    if (at < list.size())
                        list.insert(list.at(at)->clone(), next(static_cast<std::uint32_t>(list.size())));
                    break;
                default:
                    if (at + 1 < list.size()) std::swap(list[at], list[at + 1]);
            }
        }
        return list;
    };
    for (int round = 0; round < 1000; ++round) {
        ParameterList current, newer, older;
        if (round % 2 == 0) {
            current = randomList(6);
            newer = randomList(6);
            older = randomList(6);
        } else {
            older = randomList(30);
            newer = changed(older);
            current = changed(older);
        }
        ParameterList expected(current);
        naive(expected, newer, older);
        current.update(newer, older);
        ASSERT_EQ(describe(current), describe(expected)) << "round " << round;
    }
}
