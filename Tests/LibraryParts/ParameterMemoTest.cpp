// Parameter memos against the simulated host: an element's parameters loaded on demand from its memo,
// a part switch carrying the user's values, the size rules, reloading defaults and pushing cells.
#include "LibraryParts/ComponentParameterMemo.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <HostParameters.h>
#include <HostTable.h>

#include "Foundation/RealSetting.h"
#include "LibraryParts/LengthParameter.h"
#include "LibraryParts/ObjectSource.h"
#include "LibraryParts/RealParameter.h"
#include "LibraryParts/StringParameter.h"
#include "Project/ElementMemoStore.h"
#include "Support/DrawingFixture.h"
#include "Support/FaultSweep.h"

using namespace tarnwick;

namespace {

// A placed object's parameters: loaded from its host memo, edited as that element.
class ElementParameters : public ComponentParameterMemo {
public:
    ElementParameters(const host::GuidRecord& guid, std::int32_t part, Library* library)
        : guid_(guid), part_(part), library_(library) {}

    bool load(std::uint64_t mask, std::unique_ptr<MemoStore>& store) override {
        ++loads;
        if (!store) {
            auto made = std::make_unique<ElementMemoStore>();
            if (hostApi().call<host::HostSlot::getElementMemo>(&guid_, made->getMemo(), mask) != 0)
                return false;
            store = std::move(made);
        }
        return readParameters(*store);
    }
    ComponentLink getComponentLink() const override {
        return ComponentLink(part_, host::kLibraryObject, library_);
    }
    void prepareWrite() override { ++prepared; }
    void fillParamOwner(host::ParameterOwnerRecord& record, bool&) override { record.guid = guid_; }

    int loads = 0;
    int prepared = 0;

private:
    host::GuidRecord guid_;
    std::int32_t part_;
    Library* library_;
};

std::unique_ptr<Parameter> length(const char* name, double value) {
    auto parameter = std::make_unique<LengthParameter>(name, "", 0, 0, 0, false);
    parameter->set(value, 0, 0);
    return parameter;
}

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

std::string describe(ParameterList& list) {
    std::string out;
    for (std::uint64_t i = 0; i < list.size(); ++i) {
        if (!out.empty()) out += ' ';
        out += std::string(list.at(i)->getName().getView()) + "=" +
               std::string(list.at(i)->getText(0, 0).getView());
    }
    return out;
}

}   // namespace

class ParameterMemos : public DrawingFixture {
protected:
    // The project's parameters of a list, through the host's records.
    static std::vector<host::SimParameter> simParameters(const ParameterList& list) {
        host::Handle handle = nullptr;
        EXPECT_TRUE(list.writeHandle(handle));
        std::vector<host::SimParameter> parameters;
        EXPECT_EQ(host::parametersFromHandle(handle, parameters), host::kNoError);
        hostApi().call<host::HostSlot::disposeParameters>(&handle);
        return parameters;
    }

    // A library part of the project with these parameters; its library index.
    std::int32_t addPart(const char* name, std::vector<std::unique_ptr<Parameter>> parameters, double a = 1,
                         double b = 1) {
        ParameterList list;
        for (auto& parameter : parameters) list.push_back(std::move(parameter));
        host::SimLibraryPart part;
        part.name = name;
        part.uniqueId = "{" + host::guidToText(host::generateGuid()) + "}";
        part.a = a;
        part.b = b;
        part.parameters = simParameters(list);
        host_->project().state.libraryParts.push_back(part);
        return static_cast<std::int32_t>(host_->project().state.libraryParts.size());
    }

    void setElementParameters(int element, std::vector<std::unique_ptr<Parameter>> parameters) {
        ParameterList list;
        for (auto& parameter : parameters) list.push_back(std::move(parameter));
        host_->project().findElement(guidOf(element))->memo.parameters = simParameters(list);
    }

    std::unique_ptr<ElementParameters> element(int index, std::int32_t part) {
        return std::make_unique<ElementParameters>(host::toGuidRecord(guidOf(index)), part,
                                                   project().getLibrary());
    }

    std::unique_ptr<ObjectSource> source(std::int32_t index) {
        return std::make_unique<ObjectSource>(
            host::LibraryPartRecord{}, ComponentLink(index, host::kLibraryObject, project().getLibrary()));
    }
};

TEST_F(ParameterMemos, APartSwitchKeepsWhatTheUserChangedAndTakesTheNewDefaultsElsewhere) {
    std::vector<std::unique_ptr<Parameter>> oldDefaults;
    oldDefaults.push_back(length("A", 1));
    oldDefaults.push_back(text("mat", "Oak"));
    oldDefaults.push_back(real("w", 0.5));
    oldDefaults.push_back(real("gone", 1));
    const std::int32_t oldPart = addPart("Old", std::move(oldDefaults), 1, 2);
    std::vector<std::unique_ptr<Parameter>> newDefaults;
    newDefaults.push_back(length("A", 1.2));
    newDefaults.push_back(text("mat", "Ash"));
    newDefaults.push_back(real("w", 0.6));
    newDefaults.push_back(real("new", 3));
    const std::int32_t newPart = addPart("New", std::move(newDefaults), 1.2, 2);
    std::vector<std::unique_ptr<Parameter>> placed;
    placed.push_back(length("A", 1));       // still the old default
    placed.push_back(text("mat", "Elm"));   // the user's choice
    placed.push_back(real("w", 0.5));       // still the old default
    placed.push_back(real("gone", 1));
    setElementParameters(0, std::move(placed));

    auto current = element(0, oldPart);
    auto older = source(oldPart);
    auto newer = source(newPart);
    EXPECT_EQ(current->loads, 0);
    current->update(*newer, *older);   // loads all three first
    EXPECT_EQ(current->loads, 1);
    EXPECT_EQ(describe(current->getParameters()), "A=1.2 mat=Elm w=0.6 new=3");
}

TEST_F(ParameterMemos, SizesAreLengthsNamedAOrBOrZzyzxInAnyCase) {
    std::vector<std::unique_ptr<Parameter>> placed;
    placed.push_back(real("A", 0.9));   // not a length: no width
    placed.push_back(length("b", 0.4));
    placed.push_back(length("ZZYZX", 2.1));
    setElementParameters(1, std::move(placed));
    auto memo = element(1, 0);
    EXPECT_EQ(memo->getWidth(), 0.0);
    EXPECT_EQ(memo->getDepth(), 0.4);
    EXPECT_EQ(memo->getHeight(), 2.1);
    memo->setWidth(5);
    memo->setDepth(0.5);
    memo->setHeight(3);
    EXPECT_EQ(describe(memo->getParameters()), "A=0.9 b=0.5 ZZYZX=3");
    EXPECT_EQ(memo->getDefaultWidth(), 0.0);   // no part: no defaults

    // A merge between component memos carries the sizes unless told to skip them.
    auto other = element(1, 0);
    other->setParameters(memo->getParameters());
    other->setDepth(0.7);
    memo->mergeParameters(*other, /*skipSizes=*/true, true, true);
    EXPECT_EQ(memo->getDepth(), 0.5);
    memo->mergeParameters(*other, /*skipSizes=*/false, true, true);
    EXPECT_EQ(memo->getDepth(), 0.7);
}

TEST_F(ParameterMemos, ReloadingDefaultsFollowsTheSizeRulesAndNeverLosesTheParameters) {
    std::vector<std::unique_ptr<Parameter>> defaults;
    defaults.push_back(length("A", 1));
    defaults.push_back(length("ZZYZX", 2));
    defaults.push_back(real("w", 0.5));
    defaults.push_back(real("added", 4));
    const std::int32_t part = addPart("Part", std::move(defaults));
    const auto placed = [] {
        std::vector<std::unique_ptr<Parameter>> parameters;
        parameters.push_back(length("A", 3));
        parameters.push_back(length("ZZYZX", 5));
        parameters.push_back(real("w", 0.9));
        return parameters;
    };
    struct Case {
        bool forget, merge, fromDefaults;
        const char* expected;
    };
    const Case cases[] = {
        {false, true, false, "A=1 ZZYZX=2 w=0.9 added=4"},   // the defaults, with the user's values but sizes
        {true, true, false, "A=3 ZZYZX=5 w=0.9 added=4"},    // the sizes are carried too
        {false, true, true, "A=3 ZZYZX=5 w=0.5"},            // the default values, sizes kept
        {true, true, true, "A=1 ZZYZX=2 w=0.5"},             // every default value
        {true, false, false, "A=3 ZZYZX=5 w=0.9"},           // forgetting alone changes no value
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        setElementParameters(2, placed());
        auto memo = element(2, part);
        EXPECT_TRUE(memo->reloadDefaults(c.forget, c.merge, c.fromDefaults));
        EXPECT_EQ(describe(memo->getParameters()), c.expected);
    }

    // Defaults that cannot be read leave the element as it was.
    host::ParameterBytes& record =
        host_->project().state.libraryParts[std::size_t(part) - 1].parameters[0].record;
    host::ParameterBytes::Bytes bytes = record.bytes();
    bytes[0] = 17;   // a bad type code
    record.assign(bytes.data());
    setElementParameters(2, placed());
    auto memo = element(2, part);
    EXPECT_FALSE(memo->reloadDefaults(false, true, false));
    EXPECT_EQ(describe(memo->getParameters()), "A=3 ZZYZX=5 w=0.9");
    host_->injectFault({host::HostSlot::getLibraryPartParameters, std::nullopt}, 0, host::kErrBadIndex);
    EXPECT_FALSE(memo->reloadDefaults(true, true, true));
    EXPECT_EQ(describe(memo->getParameters()), "A=3 ZZYZX=5 w=0.9");
}

TEST_F(ParameterMemos, PushesEachLinkedCellAndAlwaysClosesTheEditing) {
    auto grid = std::make_unique<RealParameter>("g", "", 0, 2, 0, true);
    for (std::uint64_t i = 0; i < 4; ++i) grid->set(double(i), i / 2, i % 2);
    std::vector<std::unique_ptr<Parameter>> placed;
    placed.push_back(length("A", 1));
    placed.push_back(std::move(grid));
    setElementParameters(0, std::move(placed));
    auto memo = element(0, 0);
    memo->getParameters().find("g")->setText("9", 1, 0);

    host_->clearCalls();
    EXPECT_TRUE(memo->writeParameter(ParameterLink("g"), true, true));
    EXPECT_EQ(memo->prepared, 1);   // both flags set: the element commits itself first
    EXPECT_EQ(host_->countCalls(host::HostSlot::utilities, fourcc("CHGP")), 4u);
    EXPECT_EQ(host_->countCalls(host::HostSlot::utilities, fourcc("CPAR")), 1u);
    EXPECT_EQ(memo->getParameters().find("g")->getText(1, 0), "9");

    // A cell the parameter lacks, a failing change and a failing read: false, and the editing is closed.
    EXPECT_FALSE(memo->writeParameter(ParameterLink("A", 3, 0), false, false));
    host_->injectFault({host::HostSlot::utilities, fourcc("CHGP")}, 1, host::kErrBadName);
    EXPECT_FALSE(memo->writeParameter(ParameterLink("g", 0), false, false));
    host_->injectFault({host::HostSlot::utilities, fourcc("GPAR")}, 1, host::kErrMemFull);
    EXPECT_FALSE(memo->writeParameter(ParameterLink("g", 0), false, false));
    EXPECT_EQ(host_->countCalls(host::HostSlot::utilities, fourcc("OPAR")),
              host_->countCalls(host::HostSlot::utilities, fourcc("CPAR")));
    host_->injectFault({host::HostSlot::utilities, fourcc("OPAR")}, 1, host::kErrRefusedCommand);
    EXPECT_FALSE(memo->writeParameter(ParameterLink("g"), false, false));
    EXPECT_TRUE(memo->writeParameter(ParameterLink("", 0, 0, /*index=*/2), false, false));   // by position
    EXPECT_TRUE(memo->writeParameter(ParameterLink("none"), false, false));   // nothing to push
}

// Changed cells pushed through the host's parameter editing with each host call and each allocation
// failing in turn: a failure is reported, nothing leaks, and no editing is left open to refuse the next.
TEST_F(ParameterMemos, EveryFailingHostCallIsReportedAndLeavesNothingBehind) {
    const auto pushed = [] {
        ParameterList list;
        auto grid = std::make_unique<RealParameter>("g", "", 0, 2, 0, true);
        for (std::uint64_t i = 0; i < 4; ++i) grid->set(double(i), i / 2, i % 2);
        list.push_back(length("A", 1));
        list.push_back(std::move(grid));
        list.push_back(text("mat", "Oak"));
        return list;
    };
    host_->project().findElement(guidOf(0))->memo.parameters = simParameters(pushed());
    std::string lastText;
    const auto push = [&]() -> host::Result {
        try {
            auto memo = element(0, 0);
            memo->setParameters(pushed());
            memo->getParameters().find("mat")->setText("Ash", 0, 0);
            Vector<ParameterLink> links;
            links.push_back(std::make_unique<ParameterLink>("mat"));
            links.push_back(std::make_unique<ParameterLink>("g", 1));
            const bool written = memo->writeParameters(links, false, false);
            lastText = std::string(memo->getParameters().find("mat")->getText(0, 0).getView());
            return written ? host::kNoError : host::kErrGeneral;
        } catch (const std::exception&) {
            return host::kErrMemFull;
        }
    };
    FaultSweep sweep(*host_);
    EXPECT_GT(sweep.run("push", push), 0u);
    EXPECT_EQ(push(), host::kNoError);   // also after every faulted run
    EXPECT_EQ(lastText, "Ash");
}

TEST_F(ParameterMemos, ReadIntoMergesReadCopyReplacesAndOneParameterIsCopiedByName) {
    ParameterList stored;
    stored.push_back(length("A", 2));
    stored.push_back(text("mat", "Ash"));
    ElementMemoStore store;
    ASSERT_TRUE(stored.writeHandle(store.getMemo()->parameters));
    ObjectSource memo;   // a new part: loaded, without parameters
    ParameterList receiver;
    receiver.push_back(length("A", 1));
    receiver.push_back(text("mat", "Oak"));
    receiver.push_back(real("w", 0.5));
    ASSERT_TRUE(memo.readInto(receiver, store, /*skipSizes=*/true, true, true));
    EXPECT_EQ(describe(receiver), "A=1 mat=Ash w=0.5");
    ASSERT_TRUE(memo.readCopy(receiver, store));
    EXPECT_EQ(describe(receiver), "A=2 mat=Ash");

    ObjectSource other;
    other.getParameters().push_back(text("MAT", "Elm"));
    memo.copyParameterFrom(other, "mat", ParameterList::kAll, ParameterList::kAll);
    EXPECT_EQ(describe(memo.getParameters()), "A=2 mat=Elm");
    memo.resetParameters();
    EXPECT_EQ(describe(memo.getParameters()), "A=0 mat=");
}

TEST_F(ParameterMemos, AnUpdateTakesOnlyTheDefaultSizesThatDifferBetweenTheParts) {
    const std::int32_t oldPart = addPart("Old", {}, /*a=*/1, /*b=*/2);
    const std::int32_t newPart = addPart("New", {}, 1, 3);
    std::vector<std::unique_ptr<Parameter>> own;
    own.push_back(length("A", 5));
    const std::int32_t ownPart = addPart("Own", std::move(own), 5, 5);
    auto current = element(0, ownPart);
    auto older = source(oldPart);
    auto newer = source(newPart);
    for (ComponentParameterMemo* memo : {static_cast<ComponentParameterMemo*>(current.get()),
                                         static_cast<ComponentParameterMemo*>(older.get()),
                                         static_cast<ComponentParameterMemo*>(newer.get())})
        memo->getDefaultWidth();
    current->update(*newer, *older);
    EXPECT_EQ(current->getDefaultWidth(), 5.0);   // the parts agree: ours stays
    EXPECT_EQ(current->getDefaultDepth(), 3.0);

    // Fetched once, the defaults are not asked for again unless wanted.
    ElementMemoStore store;
    EXPECT_TRUE(current->fetchDefaultSizes(store, /*onlyOnce=*/true));
    EXPECT_EQ(store.getMemo()->parameters, nullptr);
    EXPECT_TRUE(current->fetchDefaultSizes(store, /*onlyOnce=*/false));
    EXPECT_NE(store.getMemo()->parameters, nullptr);
    EXPECT_EQ(current->getDefaultDepth(), 5.0);
}
