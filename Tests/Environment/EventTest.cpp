#include "Environment/Event.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include <FourCC.h>

#include "Environment/CommandEvent.h"
#include "Environment/ControlLink.h"
#include "Environment/DropEvent.h"
#include "Environment/FocusEvent.h"
#include "Environment/InterfaceEvent.h"
#include "Environment/ItemEvent.h"
#include "Environment/ItemMessage.h"
#include "Environment/ItemReceiver.h"
#include "Environment/KeyEvent.h"
#include "Environment/ListCellUpdateEvent.h"
#include "Environment/ListHeaderClickEvent.h"
#include "Environment/ListHeaderDragEvent.h"
#include "Environment/ListHeaderRecord.h"
#include "Environment/ListHeaderResizeEvent.h"
#include "Environment/MenuEvent.h"
#include "Environment/ModuleEvent.h"
#include "Environment/ProjectEvent.h"
#include "Environment/Publisher.h"
#include "Environment/ResizeEvent.h"
#include "Environment/Subscriber.h"

using namespace tarnwick;

namespace {

TEST(Event, DescribesItselfForTheEventLog) {
    const ControlLink link(3, nullptr);
    const std::pair<std::unique_ptr<Event>, std::string> cases[] = {
        {std::make_unique<Event>(host::fourcc("ABCD"), host::fourcc("WXYZ")), "ABCD/WXYZ"},
        {std::make_unique<MenuEvent>(32500, 2), "HOST/MENU list 32500 item 2"},
        {std::make_unique<ProjectEvent>(64), "HOST/PRJT code 64"},
        {std::make_unique<ModuleEvent>("frameworkPreferenceStore", "<a/>"),
         "HOST/MDAT frameworkPreferenceStore (4 bytes)"},
        {std::make_unique<CommandEvent>(host::fourcc("GSUP"), 1, nullptr), "HOST/CMND GSUP version 1"},
        {std::make_unique<ItemEvent>(link, -7), "INTF/ITEV item 3 method 6 value -7"},
        {std::make_unique<ItemEvent>(ControlLink()), "INTF/ITEV item -1 method 6"},   // no item, no value
    };
    for (const auto& [event, text] : cases) EXPECT_EQ(std::string(event->describe().getView()), text);
}

TEST(InterfaceEvent, ReadsTheItemIdAsSigned16Bits) {
    const std::pair<std::uint16_t, std::int16_t> cases[] = {
        {ControlLink::kNoItem, -1}, {0, 0}, {1, 1}, {32767, 32767}, {32768, -32768}};
    for (const auto& [id, expected] : cases) {
        const FocusEvent event(ControlLink(id, nullptr), 0);
        EXPECT_EQ(event.getItemId(), expected) << id;
        EXPECT_EQ(event.getItemId() >= 1, id >= 1 && id <= 32767)
            << id;   // "has an item" needs no special case
    }
    EXPECT_EQ(ControlLink().getItemId(), ControlLink::kNoItem);
}

TEST(InterfaceEvent, TellsAMissingValueFromAZeroValue) {
    const ControlLink link(4, nullptr);
    const ItemEvent without(link);
    const ItemEvent zero(link, 0);
    const ItemEvent explicitMethod(5, link, 9);
    EXPECT_FALSE(without.hasValue());
    EXPECT_EQ(without.getValue(), 0);
    EXPECT_TRUE(zero.hasValue());
    EXPECT_EQ(explicitMethod.getMethod(), 5u);
    EXPECT_EQ(explicitMethod.getValue(), 9);
    EXPECT_EQ(KeyEvent(link, 0x263A, nullptr).getCharacter(), 0x263Au);
}

TEST(ItemMessage, ReachesTheEventsReceiverCutTo16Bits) {
    struct Case {
        std::shared_ptr<ItemMessage> message;
        bool delivered;
        std::int16_t value;   // the receiver's value afterwards; it starts at 77
    };
    const Case cases[] = {
        {std::make_shared<ItemMessage>(0), true, 0},
        {std::make_shared<ItemMessage>(-2), true, -2},
        {std::make_shared<ItemMessage>(0x12345), true, 0x2345},   // only the low 16 bits cross to the host
        {std::make_shared<ItemMessage>(), true, 77},              // no value: nothing changes
        {nullptr, false, 77},
    };
    for (const Case& c : cases) {
        ItemReceiver receiver(77);
        const KeyEvent event(ControlLink(2, nullptr), 'a', &receiver);
        EXPECT_EQ(sendItemMessage(event, c.message), c.delivered);
        EXPECT_EQ(receiver.getValue(), c.value);
    }
    EXPECT_FALSE(sendItemMessage(FocusEvent(ControlLink(2, nullptr), 0), std::make_shared<ItemMessage>(1)));
}

TEST(ItemMessage, AnswersTheRaiserThroughAPublication) {
    // A handler that refuses a typed character sends 0 to the receiver that the raiser seeded.
    class Refuser : public Subscriber {
    public:
        void subscribe(EventKeyList& keys) const override {
            keys.append(InterfaceEvent::kSource, KeyEvent::kType);
        }
        bool receive(const Event& event) override {
            const auto& key = static_cast<const KeyEvent&>(event);
            if (key.getCharacter() != '#') return false;
            sendItemMessage(key, std::make_shared<ItemMessage>(0));
            return true;
        }
    } refuser;
    Publisher panel;
    panel.subscribe(refuser);
    for (const auto& [character, answer] : {std::pair{'#', 0}, std::pair{'a', 12}}) {
        ItemReceiver receiver(12);   // seeded with the item id
        panel.publish(KeyEvent(ControlLink(12, nullptr), static_cast<std::uint32_t>(character), &receiver));
        EXPECT_EQ(receiver.getValue(), answer) << character;
    }
}

TEST(ListHeaderRecord, PacksIntoTheEventValueAndBackWithSigns) {
    const ListHeaderRecord cases[] = {
        {0, 0, 0, 0}, {2, 3, 3, -40}, {0, 1, 7, 0}, {-1, -1, -1, -1}, {32767, -32768, 1, 32767}};
    for (const ListHeaderRecord& record : cases) {
        EXPECT_EQ(ListHeaderRecord::unpack(record.pack()), record);
        EXPECT_EQ(ListHeaderResizeEvent(ControlLink(5, nullptr), record).getRecord(), record);
    }
    EXPECT_EQ((ListHeaderRecord{1, 2, 3, 4}.pack()), 0x0004000300020001);   // phase lowest, change highest
    EXPECT_EQ(ListHeaderDragEvent(ControlLink(5, nullptr), {0, 2, 4, 0}).getRecord().secondItem, 4);
    EXPECT_EQ(ListHeaderClickEvent(ControlLink(5, nullptr), {0, 6, 6, 0}).getValue(), 0x0000000600060000);
}

TEST(ListCellUpdateEvent, CountsRowsAndColumnsFromZero) {
    const ListCellUpdateEvent event(ControlLink(3, nullptr), /*hostItem=*/1, /*hostField=*/4, 120, 18);
    EXPECT_EQ(event.getRow(), 0);
    EXPECT_EQ(event.getColumn(), 3);
    EXPECT_EQ(event.getWidth(), 120);
    EXPECT_EQ(event.getHeight(), 18);
}

TEST(DropEvent, LetsAHandlerChangeTheRaisersRecord) {
    DropRecord record;
    record.phase = DropRecord::kDropped;
    record.effect = 7;
    ItemReceiver receiver(1);
    const DropEvent event(ControlLink(0, nullptr), record, &receiver);
    event.getRecord().effect = 1;   // a handler accepts a copy only
    EXPECT_EQ(record.effect, 1);
    EXPECT_EQ(std::string(event.describe().getView()), "INTF/DEVT item 0 method 17 phase 7 effect 1");
}

TEST(ResizeEvent, CarriesThePhaseAsItsValueAndTheChanges) {
    for (const auto phase : {ResizeEvent::kBegin, ResizeEvent::kResized, ResizeEvent::kEnd}) {
        const ResizeEvent event(ControlLink(0, nullptr), phase, 30, -12);
        EXPECT_EQ(event.getPhase(), phase);
        EXPECT_EQ(event.getValue(), static_cast<std::int64_t>(phase));
        EXPECT_EQ(event.getHorizontalChange(), 30);
        EXPECT_EQ(event.getVerticalChange(), -12);
    }
}

}   // namespace
