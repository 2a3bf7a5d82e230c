#include "Environment/Publisher.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <FourCC.h>

#include "Environment/Event.h"
#include "Environment/EventKeyList.h"
#include "Environment/MenuEvent.h"
#include "Environment/MenuSubscriber.h"
#include "Environment/ProjectEvent.h"
#include "Environment/ProjectSubscriber.h"
#include "Environment/Subscriber.h"

using namespace tarnwick;

namespace {

const std::uint32_t kTest = host::fourcc("TEST");
const std::uint32_t kPing = host::fourcc("PING");
const std::uint32_t kPong = host::fourcc("PONG");

// Records every call in a shared journal under its name; what it does on receive is up to the test.
class Probe : public Subscriber {
public:
    Probe(std::string name, std::uint16_t priority, std::vector<std::string>& journal,
          std::vector<EventKey> keys = {{kTest, kPing}})
        : Subscriber(priority), name_(std::move(name)), journal_(journal), keys_(std::move(keys)) {}

    void subscribe(EventKeyList& keys) const override {
        for (const EventKey& key : keys_) keys.append(key.source, key.type);
    }
    bool receive(const Event& event) override {
        journal_.push_back(name_ + ":" + host::fourccText(event.getType()));
        return onReceive ? onReceive() : handles;
    }

    bool handles = false;
    std::function<bool()> onReceive;
    std::uint32_t stageResult = 0;

protected:
    std::uint32_t checkEnvironment() override { return note("check"); }
    std::uint32_t registerInterface() override { return note("register"); }
    std::uint32_t initialize() override { return note("init"); }

private:
    std::uint32_t note(const char* stage) {
        journal_.push_back(name_ + ":" + stage);
        return stageResult;
    }

    std::string name_;
    std::vector<std::string>& journal_;
    std::vector<EventKey> keys_;
};

std::string joined(const std::vector<std::string>& journal) {
    std::string text;
    for (const auto& entry : journal) text += (text.empty() ? "" : " ") + entry;
    return text;
}

TEST(Publisher, OffersEventsByDescendingPriorityKeepingSubscriptionOrderAmongEquals) {
    struct Case {
        std::vector<std::uint16_t> priorities;   // subscribers s0, s1 ... subscribe in this order
        std::string expected;
    };
    const Case cases[] = {
        {{1, 5, 5, 0, 5, 3}, "s1:PING s2:PING s4:PING s5:PING s0:PING s3:PING"},
        {{0, 0, 0}, "s0:PING s1:PING s2:PING"},
        {{65535, 0, 32768}, "s0:PING s2:PING s1:PING"},   // priorities are unsigned 16-bit
        {{}, ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> journal;
        std::vector<std::unique_ptr<Probe>> probes;
        Publisher publisher;
        for (std::size_t i = 0; i < c.priorities.size(); ++i) {
            probes.push_back(std::make_unique<Probe>("s" + std::to_string(i), c.priorities[i], journal));
            publisher.subscribe(*probes.back());
        }
        EXPECT_FALSE(publisher.publish(Event(kTest, kPing)));
        EXPECT_EQ(joined(journal), c.expected);
    }
}

TEST(Publisher, StopsAtTheFirstSubscriberThatHandlesTheEvent) {
    std::vector<std::string> journal;
    Probe low("low", 1, journal), high("high", 9, journal), middle("middle", 5, journal);
    middle.handles = true;
    Publisher publisher;
    for (Probe* probe : {&low, &high, &middle}) publisher.subscribe(*probe);
    EXPECT_TRUE(publisher.publish(Event(kTest, kPing)));
    EXPECT_EQ(joined(journal), "high:PING middle:PING");
}

TEST(Publisher, OffersAnEventOnlyToTheSubscribersOfItsKey) {
    std::vector<std::string> journal;
    Probe both("both", 0, journal, {{kTest, kPing}, {kTest, kPong}});
    Probe ping("ping", 0, journal);
    Probe twice("twice", 0, journal, {{kTest, kPong}, {kTest, kPong}});   // one entry for a key asked twice
    Publisher publisher;
    for (Probe* probe : {&both, &ping, &twice}) EXPECT_TRUE(publisher.subscribe(*probe));
    EXPECT_FALSE(publisher.subscribe(ping));   // already subscribed: no second entry
    publisher.publish(Event(kTest, kPong));
    publisher.publish(Event(kTest, kPing));
    publisher.publish(Event(kPing, kTest));   // source and type are not interchangeable
    EXPECT_EQ(joined(journal), "both:PONG twice:PONG both:PING ping:PING");
}

TEST(Publisher, SkipsSubscribersThatLeaveDuringAPublicationAndOffersNoneThatJoin) {
    std::vector<std::string> journal;
    Publisher publisher;
    Probe first("first", 9, journal), second("second", 5, journal), third("third", 1, journal);
    Probe late("late", 7, journal);
    first.onReceive = [&] {
        publisher.unsubscribe(first);    // itself
        publisher.unsubscribe(second);   // and one not yet offered the event
        publisher.subscribe(late);       // joins: not offered this event
        return false;
    };
    for (Probe* probe : {&first, &second, &third}) publisher.subscribe(*probe);
    EXPECT_FALSE(publisher.publish(Event(kTest, kPing)));
    EXPECT_EQ(joined(journal), "first:PING third:PING");
    journal.clear();
    publisher.publish(Event(kTest, kPing));
    EXPECT_EQ(joined(journal), "late:PING third:PING");
}

TEST(Publisher, SkipsASubscriberDestroyedDuringAPublication) {
    std::vector<std::string> journal;
    Publisher publisher;
    Probe killer("killer", 9, journal);
    auto victim = std::make_unique<Probe>("victim", 5, journal);
    Probe last("last", 1, journal);
    killer.onReceive = [&] {
        victim.reset();   // the victim leaves the publisher as it dies
        return false;
    };
    publisher.subscribe(killer);
    publisher.subscribe(*victim);
    publisher.subscribe(last);
    EXPECT_FALSE(publisher.publish(Event(kTest, kPing)));
    EXPECT_EQ(joined(journal), "killer:PING last:PING");
    EXPECT_EQ(publisher.getSubscriberCount(), 2u);
}

TEST(Publisher, NeverDeletesItsSubscribersAndForgetsThoseDestroyed) {
    std::vector<std::string> journal;
    Probe kept("kept", 0, journal);
    {
        Publisher publisher;
        auto gone = std::make_unique<Probe>("gone", 0, journal);
        publisher.subscribe(kept);
        publisher.subscribe(*gone);
        gone.reset();
        EXPECT_EQ(publisher.getSubscriberCount(), 1u);
        publisher.clearSubscribers();
        EXPECT_FALSE(publisher.isSubscribed(kept));
        EXPECT_TRUE(publisher.subscribe(kept));   // free to join again
        EXPECT_FALSE(publisher.unsubscribe(*std::make_unique<Probe>("never", 0, journal)));
    }   // the publisher goes first: the subscriber must not call back into it when it dies
    EXPECT_FALSE(kept.receive(Event(kTest, kPong)));
}

TEST(Publisher, BroadcastsEachStageOnceInSubscriptionOrderAndEachSubscriberRunsItOnce) {
    std::vector<std::string> journal;
    Probe a("a", 0, journal), b("b", 9, journal, {});   // b asks for no key and still takes part
    Publisher first, second;
    first.subscribe(a);
    first.subscribe(b);
    second.subscribe(b);
    EXPECT_EQ(first.checkEnvironment(), 0u);
    EXPECT_EQ(first.checkEnvironment(), 0u);    // once per publisher
    EXPECT_EQ(second.checkEnvironment(), 0u);   // b has run its hook already
    EXPECT_EQ(first.registerInterface(), 0u);
    EXPECT_EQ(first.initialize(), 0u);
    EXPECT_EQ(joined(journal), "a:check b:check a:register b:register a:init b:init");
}

TEST(Publisher, StopsRegistrationAtTheFirstFailureButRunsTheOtherStagesThrough) {
    std::vector<std::string> journal;
    Probe a("a", 0, journal), b("b", 0, journal), c("c", 0, journal);
    b.stageResult = 0x81060001;
    c.stageResult = 0x81060002;
    Publisher publisher;
    for (Probe* probe : {&a, &b, &c}) publisher.subscribe(*probe);
    EXPECT_EQ(publisher.registerInterface(), 0x81060001u);
    EXPECT_EQ(joined(journal), "a:register b:register");
    journal.clear();
    EXPECT_EQ(publisher.initialize(), 0x81060001u);   // the first failure is answered
    EXPECT_EQ(joined(journal), "a:init b:init c:init");
}

// --- The two host subscribers -------------------------------------------------------------------
class CountingMenu : public MenuSubscriber {
public:
    CountingMenu() : MenuSubscriber(32500, 32510, 13, 0) {}
    std::vector<std::int16_t> items;
    bool answer = true;

protected:
    bool doCommand(const MenuEvent& event) override {
        items.push_back(event.getItem());
        return answer;
    }
};

TEST(MenuSubscriber, PassesOnlyItsOwnMenusCommandsToTheHandlerAndAnswersItsResult) {
    CountingMenu menu;
    Publisher publisher;
    publisher.subscribe(menu);
    EXPECT_TRUE(publisher.publish(MenuEvent(32500, 3)));
    EXPECT_FALSE(publisher.publish(MenuEvent(32501, 1)));   // another menu's list
    menu.answer = false;
    EXPECT_FALSE(publisher.publish(MenuEvent(32500, 5)));
    EXPECT_FALSE(menu.receive(ProjectEvent(32)));   // not a menu event
    EXPECT_EQ(menu.items, (std::vector<std::int16_t>{3, 5}));
}

class CodeRecorder : public ProjectSubscriber {
public:
    using ProjectSubscriber::receive;
    bool receive(const ProjectEvent& event) override {
        codes.push_back(event.getCode());
        return false;
    }
    std::vector<std::uint32_t> codes;
};

TEST(ProjectSubscriber, ReceivesTheHostsProjectNotificationsOnly) {
    CodeRecorder recorder;
    Publisher publisher;
    publisher.subscribe(recorder);
    publisher.publish(ProjectEvent(32));
    publisher.publish(MenuEvent(32500, 1));
    publisher.publish(Event(ProjectEvent::kSource, ProjectEvent::kType));   // the key, but no project event
    publisher.publish(ProjectEvent(64));
    EXPECT_EQ(recorder.codes, (std::vector<std::uint32_t>{32, 64}));
}

}   // namespace
