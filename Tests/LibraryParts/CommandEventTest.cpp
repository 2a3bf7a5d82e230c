// A command call of another add-on as the event its command subscriber receives: the parameters read
// from the caller's command parameter list, the command named by them.
#include "Environment/CommandEvent.h"

#include <gtest/gtest.h>

#include <HostTable.h>

#include "Environment/CommandSubscriber.h"
#include "Foundation/Setting.h"
#include "LibraryParts/RealParameter.h"
#include "Support/DrawingFixture.h"

using namespace tarnwick;

namespace {

class Served : public CommandSubscriber {
public:
    using CommandSubscriber::CommandSubscriber;
    int calls = 0;
    double width = 0;

protected:
    bool doCommand(const CommandEvent& event) override {
        ++calls;
        width = event.find("width")->makeSetting(0, 0)->getReal();
        return true;
    }
};

}   // namespace

class CommandEvents : public DrawingFixture {};

TEST_F(CommandEvents, CarryTheCallersParametersToTheSubscriberOfTheirCommand) {
    ParameterList call;
    auto width = std::make_unique<RealParameter>("width", "", 0, 0, 0, false);
    width->set(2.5, 0, 0);
    call.push_back(std::move(width));
    host::Handle list = nullptr;
    ASSERT_TRUE(call.writeCommandParameters(list, true, fourcc("SIZE"), 2));

    const CommandEvent event(list);
    EXPECT_TRUE(event.isRead());
    EXPECT_EQ(event.getCommandId(), fourcc("SIZE"));
    EXPECT_EQ(event.getVersion(), 2);
    EXPECT_EQ(event.size(), 3u);
    EXPECT_EQ(event.describe(), "HOST/CMND SIZE version 2");

    Served size(fourcc("SIZE"), 2);
    Served other(fourcc("MOVE"), 1);
    EXPECT_FALSE(other.receive(event));
    EXPECT_TRUE(size.receive(event));
    EXPECT_EQ(size.calls, 1);
    EXPECT_EQ(size.width, 2.5);
    hostApi().utilities(fourcc("FCLP"), &list);

    // A list the host cannot read gives an event without parameters or command.
    host_->injectFault({host::HostSlot::utilities, fourcc("NCLP")}, 0, host::kErrBadHandle);
    const CommandEvent unread(reinterpret_cast<host::Handle>(&list));
    EXPECT_FALSE(unread.isRead());
    EXPECT_EQ(unread.size(), 0u);
    EXPECT_EQ(unread.getCommandId(), 0u);
}
