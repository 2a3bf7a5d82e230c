#include "Environment/HostApi.h"

#include <cstddef>

#include <HostMemory.h>
#include <SimulatedHost.h>

#include "Environment/AddonHostFixture.h"

namespace {

using tarnwick::HostApi;

TEST(HostApi, AnswersMissingFunctionForAnEmptySlotWithoutCallingIt) {
    host::SimulatedHost simulated;
    host::HostFunctionTable table = simulated.table();
    host::clearHostSlot(table, host::HostSlot::getString);
    host::clearHostSlot(table, host::HostSlot::environment);
    HostApi api;
    api.bind(&table, nullptr);
    host::Handle text = nullptr;
    EXPECT_EQ(api.call<host::HostSlot::getString>(std::int16_t{1}, 1, &text), host::kErrMissingFunction);
    EXPECT_EQ(text, nullptr);
    std::uint8_t on = 7;
    EXPECT_EQ(api.environment(host::fourcc("ISSG"), &on), host::kErrMissingFunction);
    EXPECT_EQ(on, 7);
    // A filled slot is called: the host refuses the missing context, which proves the call went through.
    EXPECT_EQ(api.database(host::fourcc("GDBI")), host::kErrBadParameters);
    EXPECT_EQ(simulated.calls().size(), 0u);
}

TEST(HostApi, TreatsSlotsPastTheTablesSizeAsEmpty) {
    host::SimulatedHost simulated;
    host::HostFunctionTable table = simulated.table();
    const struct {
        std::uint32_t size;
        bool databaseFilled;
        bool environmentFilled;
    } cases[] = {
        {0, false, false},
        {offsetof(host::HostFunctionTable, database), false, false},
        {offsetof(host::HostFunctionTable, environment), true, false},
        {offsetof(host::HostFunctionTable, interface), true, true},
        {sizeof(host::HostFunctionTable) + 64, true, true},   // a newer host's longer table
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        table.size = c.size;
        HostApi api;
        api.bind(&table, nullptr);
        EXPECT_EQ(api.database(host::fourcc("GDBI")) != host::kErrMissingFunction, c.databaseFilled);
        EXPECT_EQ(api.environment(host::fourcc("ISSG")) != host::kErrMissingFunction, c.environmentFilled);
        EXPECT_EQ(api.call<host::HostSlot::getString>(
                      std::int16_t{1}, 1, static_cast<host::Handle*>(nullptr)) == host::kErrMissingFunction,
                  c.size < sizeof(host::HostFunctionTable));
    }
}

TEST(HostApi, IsEmptyUntilBoundAndAfterUnbind) {
    host::SimulatedHost simulated;
    HostApi api;
    EXPECT_FALSE(api.isBound());
    EXPECT_EQ(api.utilities(host::fourcc("NTOE")), host::kErrMissingFunction);
    api.bind(&simulated.table(), nullptr);
    EXPECT_NE(api.utilities(host::fourcc("NTOE")), host::kErrMissingFunction);
    api.unbind();
    EXPECT_EQ(api.utilities(host::fourcc("NTOE")), host::kErrMissingFunction);
    EXPECT_EQ(api.automation(host::fourcc("DOOM")), host::kErrMissingFunction);
}

using HostApiInModule = AddonHostFixture;

TEST_F(HostApiInModule, AMissingUndoableCommandFailsTheTransactionWithMissingFunction) {
    host::HostFunctionTable table = host_->table();
    host::clearHostSlot(table, host::HostSlot::undoableCommand);
    std::string error;
    ASSERT_TRUE(host_->startAddon(TEST_ADDON_PATH, table, error)) << error;
    choose("Change Data");
    EXPECT_TRUE(logged("RUN ERROR: 0x81060387 in Change Data"));
    EXPECT_EQ(moduleData("counter"), "(none)");
}

}   // namespace
