// The registry of panels inside the interface test add-on: what the host's project notifications do to
// a palette left open after its command.
#include <string>
#include <vector>

#include "Interface/InterfaceHostFixture.h"

using InterfacePanelTest = InterfaceHostFixture;

TEST_F(InterfacePanelTest, AnOpenPaletteClosesWhenTheProjectClosesOrTheHostQuits) {
    for (const host::ProjectNotification notification : {host::kProjectClose, host::kProjectQuit}) {
        SCOPED_TRACE(notification);
        host::clearDebugLines();
        ASSERT_TRUE(run("Palette"));
        host_->notifyProject(host::kProjectSave);   // other notifications leave it open
        EXPECT_EQ(said(), std::vector<std::string>{"palette open 1"});
        host_->notifyProject(notification);
        EXPECT_EQ(said(), (std::vector<std::string>{"palette open 1", "palette closed"}));
    }
}

TEST_F(InterfacePanelTest, AProjectCloseAbortsAnOpenModalDialogAndStillReachesTheOtherSubscribers) {
    ASSERT_TRUE(run("Modal With The Project"));
    // Left alone, the dialog would end accepted through its default button.
    EXPECT_EQ(said(), (std::vector<std::string>{"project event 32", "modal closed", "modal ended 2"}));
}
