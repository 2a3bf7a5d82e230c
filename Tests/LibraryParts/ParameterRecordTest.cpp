// Parameters through the host's records: parameter handles, change records and add-on command
// parameter lists, against the simulated host.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <HostParameters.h>
#include <HostTable.h>

#include "Foundation/Memory.h"
#include "LibraryParts/BooleanParameter.h"
#include "LibraryParts/IntegerParameter.h"
#include "LibraryParts/LengthParameter.h"
#include "LibraryParts/LongParameter.h"
#include "LibraryParts/ParameterList.h"
#include "LibraryParts/RealParameter.h"
#include "LibraryParts/StringParameter.h"
#include "LibraryParts/TitleParameter.h"
#include "Support/DrawingFixture.h"

using namespace tarnwick;

namespace {

constexpr const char* kWide = "Grüße 😀";   // a character beyond the BMP takes two UTF-16 units

// Every value type, scalars and arrays, texts beyond the BMP.
ParameterList sampleList() {
    ParameterList list;
    auto grid = std::make_unique<RealParameter>("grid", "A grid", 3, 2, 7, true);
    for (std::uint64_t i = 0; i < 6; ++i) grid->set(0.5 + double(i), i / 2, i % 2);
    list.push_back(std::move(grid));
    auto name = std::make_unique<StringParameter>("name", kWide, 0, 0, 2, false);
    name->set(kWide, 0, 0);
    list.push_back(std::move(name));
    auto names = std::make_unique<StringParameter>("names", "", 0, 2, 3, true);
    const char* texts[] = {"😀", "", "b", "Ωmega"};
    for (std::uint64_t i = 0; i < 4; ++i) names->set(texts[i], i / 2, i % 2);
    list.push_back(std::move(names));
    auto flag = std::make_unique<BooleanParameter>("on", "", 1, 0, 4, false);
    flag->set(true, 0, 0);
    list.push_back(std::move(flag));
    auto pen = std::make_unique<IntegerParameter>("pen", "", 0, 0, 5, false);
    pen->set(-3, 0, 0);
    list.push_back(std::move(pen));
    list.push_back(std::make_unique<TitleParameter>("Sizes", "", 0, 0, 6, false));
    auto a = std::make_unique<LengthParameter>("A", "", 0, 0, 8, false);
    a->set(0.9, 0, 0);
    list.push_back(std::move(a));
    return list;
}

void expectSameList(const ParameterList& a, const ParameterList& b) {
    ASSERT_EQ(a.size(), b.size());
    for (std::uint64_t i = 0; i < a.size(); ++i) {
        SCOPED_TRACE(std::string(a.at(i)->getName().getView()));
        EXPECT_TRUE(a.at(i)->isEqual(*b.at(i)));
        EXPECT_EQ(a.at(i)->isArray(), b.at(i)->isArray());
        EXPECT_EQ(a.at(i)->getName(), b.at(i)->getName());
        EXPECT_EQ(a.at(i)->getDescription(), b.at(i)->getDescription());
        EXPECT_EQ(a.at(i)->getFlags(), b.at(i)->getFlags());
        EXPECT_EQ(a.at(i)->getIndex(), b.at(i)->getIndex());
    }
}

host::ParameterRecord recordAt(host::Handle handle, std::size_t i) {
    host::ParameterRecord record;
    std::memcpy(static_cast<void*>(&record), *handle + i * sizeof record, sizeof record);
    return record;
}

void putRecord(host::Handle handle, std::size_t i, const host::ParameterRecord& record) {
    std::memcpy(*handle + i * sizeof record, static_cast<const void*>(&record), sizeof record);
}

}   // namespace

class ParameterRecords : public DrawingFixture {};

TEST_F(ParameterRecords, RoundTripThroughAParameterHandle) {
    const ParameterList list = sampleList();
    host::Handle handle = nullptr;
    ASSERT_TRUE(list.writeHandle(handle));
    ASSERT_EQ(getHandleSize(handle), list.size() * sizeof(host::ParameterRecord));

    const host::ParameterRecord grid = recordAt(handle, 0);
    EXPECT_EQ(grid.modifier, host::kParameterArray);
    EXPECT_EQ(grid.rows, 3);
    EXPECT_EQ(grid.columns, 2);
    EXPECT_EQ(getHandleSize(grid.value.array), 48u);
    const host::ParameterRecord names = recordAt(handle, 2);
    // "😀" is two units, "b" one, "Ωmega" five: eight units and four terminators.
    EXPECT_EQ(getHandleSize(names.value.array), (8u + 4u) * 2u);

    ParameterList read;
    EXPECT_TRUE(read.readHandle(handle));
    expectSameList(read, list);
    EXPECT_EQ(read.find("name")->getText(0, 0), kWide);
    EXPECT_EQ(read.find("names")->getText(1, 1), "Ωmega");
    hostApi().call<host::HostSlot::disposeParameters>(&handle);

    ParameterList empty = sampleList();
    EXPECT_TRUE(empty.readHandle(nullptr));
    EXPECT_EQ(empty.size(), 0u);
}

TEST_F(ParameterRecords, ReadsBadRecordsWithoutGoingPastTheirHandles) {
    host::Handle handle = allocateHandle(4 * sizeof(host::ParameterRecord));
    host::ParameterRecord record{};
    // 0: a 3 x 2 real array whose handle holds only two values.
    record.type = 4;
    record.modifier = host::kParameterArray;
    record.rows = 3;
    record.columns = 2;
    const double two[] = {1.5, 2.5};
    record.value.array = ptrToHandle(two, sizeof two);
    putRecord(handle, 0, record);
    // 1: a 1 x 3 string array holding two texts.
    record = {};
    record.type = 12;
    record.modifier = host::kParameterArray;
    record.rows = 1;
    record.columns = 3;
    const char16_t texts[] = u"x\0yz";
    record.value.array = ptrToHandle(texts, sizeof texts);
    putRecord(handle, 1, record);
    // 2: an array of first dimension 0 and second 4.
    record = {};
    record.type = 2;
    record.modifier = host::kParameterArray;
    record.rows = 0;
    record.columns = 4;
    const double four[] = {1, 2, 3, 4};
    record.value.array = ptrToHandle(four, sizeof four);
    putRecord(handle, 2, record);
    // 3: a scalar text with no terminator in its field.
    record = {};
    record.type = 12;
    std::fill(std::begin(record.value.text), std::end(record.value.text), u'q');
    putRecord(handle, 3, record);

    ParameterList list;
    ASSERT_TRUE(list.readHandle(handle));
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list.at(0)->getRowCount(), 3u);
    EXPECT_EQ(list.at(0)->getText(0, 1), "2.5");
    EXPECT_EQ(list.at(0)->getText(2, 1), "0");
    EXPECT_EQ(list.at(1)->getText(0, 0), "x");
    EXPECT_EQ(list.at(1)->getText(0, 1), "yz");
    EXPECT_EQ(list.at(1)->getText(0, 2), "");
    EXPECT_TRUE(list.at(2)->isArray());
    EXPECT_EQ(list.at(2)->getColumnCount(), 4u);
    EXPECT_EQ(list.at(2)->getRowCount(), 1u);
    EXPECT_EQ(list.at(3)->getText(0, 0).getLength(), 256u);

    // An unknown type code: nothing is read.
    record = recordAt(handle, 3);
    record.type = 17;
    putRecord(handle, 3, record);
    EXPECT_FALSE(list.readHandle(handle));
    EXPECT_EQ(list.size(), 0u);
    hostApi().call<host::HostSlot::disposeParameters>(&handle);
}

TEST_F(ParameterRecords, CutsLongTextsAndKeepsTheirTerminators) {
    StringParameter text("t", String(300, 'd'), 0, 0, 0, false);
    text.set(String(300, 'v'), 0, 0);
    host::ParameterRecord record;
    ASSERT_TRUE(text.toHostParameter(record));
    EXPECT_EQ(std::u16string(record.value.text).size(), 255u);
    EXPECT_EQ(std::u16string(record.description).size(), 255u);

    host::ParameterChangeRecord change;
    ASSERT_TRUE(text.toHostChange(change, 0, 0));
    EXPECT_EQ(std::u16string(change.text).size(), 255u);

    // An array's cell: row and column 1-based; a number change carries the empty text.
    RealParameter grid("g", "", 0, 3, 4, true);
    grid.set(2.25, 0, 2);
    ASSERT_TRUE(grid.toHostChange(change, 0, 2));
    EXPECT_EQ(change.row, 1);
    EXPECT_EQ(change.column, 3);
    EXPECT_EQ(change.index, 4);
    EXPECT_EQ(change.real, 2.25);
    EXPECT_EQ(change.text[0], u'\0');
    EXPECT_STREQ(change.name, "g");
}

TEST_F(ParameterRecords, CommandParametersRoundTripInReverseOrderWithTheCommand) {
    ParameterList list;
    auto count = std::make_unique<LongParameter>("count", "", 1, 0, 0, false);
    count->set(100000, 0, 0);
    list.push_back(std::move(count));
    auto width = std::make_unique<RealParameter>("width", "", 0, 0, 0, false);
    width->set(1.25, 0, 0);
    list.push_back(std::move(width));
    auto label = std::make_unique<StringParameter>("label", "", 0, 0, 0, false);
    label->set(kWide, 0, 0);
    list.push_back(std::move(label));

    host::Handle commands = nullptr;
    ASSERT_TRUE(list.writeCommandParameters(commands, /*create=*/true, fourcc("TEST"), 3));
    ParameterList read;
    ASSERT_TRUE(read.readCommandParameters(commands));
    std::vector<std::string> names;
    for (std::uint64_t i = 0; i < read.size(); ++i) names.emplace_back(read.at(i)->getName().getView());
    EXPECT_EQ(names, (std::vector<std::string>{"command_version", "command_id", "label", "width", "count"}));
    EXPECT_EQ(read.find("count")->getText(0, 0), "100000");
    EXPECT_EQ(read.find("count")->getFlags(), 1);
    EXPECT_EQ(read.find("width")->getText(0, 0), "1.25");
    EXPECT_EQ(read.find("label")->getText(0, 0), kWide);
    EXPECT_EQ(read.find("command_id")->getText(0, 0), String(static_cast<std::int32_t>(fourcc("TEST"))));
    EXPECT_EQ(read.find("command_version")->getText(0, 0), "3");
    hostApi().utilities(fourcc("FCLP"), &commands);
    EXPECT_EQ(commands, nullptr);

    ASSERT_TRUE(list.writeCommandParameters(commands, true, 0, 0));   // no command: no id, no version
    ASSERT_TRUE(read.readCommandParameters(commands));
    EXPECT_EQ(read.size(), 3u);

    // A failure frees the list, the caller's own too, and leaves no handle behind.
    host_->injectFault({host::HostSlot::utilities, fourcc("ACLP")}, 2, host::kErrMemFull);
    EXPECT_FALSE(list.writeCommandParameters(commands, /*create=*/false, 0, 0));
    EXPECT_EQ(commands, nullptr);
    host_->injectFault({host::HostSlot::utilities, fourcc("ACLP")}, 1, host::kErrMemFull);
    EXPECT_FALSE(list.writeCommandParameters(commands, /*create=*/true, 0, 0));
    EXPECT_EQ(commands, nullptr);

    host_->clearFaults();
    host_->injectFault({host::HostSlot::utilities, fourcc("NCLP")}, 0, host::kErrBadHandle);
    read.push_back(std::make_unique<RealParameter>("x", "", 0, 0, 0, false));
    EXPECT_FALSE(read.readCommandParameters(reinterpret_cast<host::Handle>(&commands)));
    EXPECT_EQ(read.size(), 0u);
}

TEST_F(ParameterRecords, AnElementsParametersRoundTripThroughTheProjectFile) {
    const ParameterList list = sampleList();
    host::ElementMemo memo{};
    ASSERT_TRUE(list.writeHandle(memo.parameters));
    host::ElementRecord element{};
    element.head.guid = host::toGuidRecord(guidOf(1));
    ASSERT_EQ(hostApi().call<host::HostSlot::getElement>(&element), 0u);
    host::ElementRecord mask{};
    EXPECT_EQ(inCommand([&] {
                  return hostApi().call<host::HostSlot::changeElement>(
                             &element, &mask, &memo, host::kMemoParameters, std::uint8_t{0}) == 0;
              }),
              0u);
    hostApi().call<host::HostSlot::disposeElementMemo>(&memo);

    const std::string saved = host_->project().saveText();
    EXPECT_NE(saved.find("\"names\""), std::string::npos);   // readable in the file
    host::SimProject loaded;
    std::string error;
    ASSERT_TRUE(loaded.loadText(saved, error)) << error;
    const host::SimElement* kept = loaded.findElement(guidOf(1));
    ASSERT_NE(kept, nullptr);
    ASSERT_TRUE(kept->memo.parameters.has_value());
    EXPECT_EQ(kept->memo, simElement(1).memo);
    EXPECT_EQ(loaded.saveText(), saved);

    const host::GuidRecord guid = host::toGuidRecord(guidOf(1));
    ASSERT_EQ(hostApi().call<host::HostSlot::getElementMemo>(&guid, &memo, host::kMemoParameters), 0u);
    ParameterList read;
    EXPECT_TRUE(read.readHandle(memo.parameters));
    expectSameList(read, list);
    hostApi().call<host::HostSlot::disposeElementMemo>(&memo);
}
