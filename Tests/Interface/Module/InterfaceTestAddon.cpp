// An add-on on the framework whose menu commands show alerts and progress windows, writing what the
// framework answered to the host's debug output ("InterfaceTestAddon: ..."). testInterface drives it
// through the simulated host and compares what the host recorded.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <HostDebug.h>

#include "Environment/Addon.h"
#include "Environment/AddonFactory.h"
#include "Environment/Framework.h"
#include "Environment/MenuEvent.h"
#include "Environment/MenuSubscriber.h"
#include "Environment/ProjectEvent.h"
#include "Environment/ProjectSubscriber.h"
#include "Foundation/TracedException.h"
#include "Interface/ActionEvent.h"
#include "Interface/Alert.h"
#include "Interface/ConfirmAlert.h"
#include "Interface/CustomAlert.h"
#include "Interface/Dialog.h"
#include "Interface/ErrorAlert.h"
#include "Interface/NameRequest.h"
#include "Interface/NotifyAlert.h"
#include "Interface/ProgressWindow.h"
#include "Interface/WarnAlert.h"

namespace {

using namespace tarnwick;

void say(const std::string& line) { host::debugOutput("InterfaceTestAddon: " + line); }

void defaultTitles() {
    NotifyAlert().show("n");
    WarnAlert().show("w");
    ErrorAlert().show("e");
    ConfirmAlert().show("c");
}

void givenTitles() {
    NotifyAlert("Mine 1").show("n");
    WarnAlert("Mine 2").show("w");
    ErrorAlert("Mine 3").show("e");
    ConfirmAlert("Mine 4").show("c");
    Alert(Alert::kError, "Raw").show("r");
}

void ask() { say("ask answered " + std::to_string(ConfirmAlert().ask("Go on?"))); }

void askWithLabels() {
    say("ask answered " + std::to_string(ConfirmAlert("Q").ask("Replace?", "Replace", "Keep")));
}

void customAlerts() {
    CustomAlert noFirst("Custom", "", "Two", "");
    say("custom answered " + std::to_string(noFirst.show("message", "details")));
    CustomAlert all("Custom", "A", "B", "C");
    say("custom answered " + std::to_string(all.show("m", "")));
    say("plain answered " + std::to_string(all.show("plain")));   // the base show: "OK" only
}

void nestedProgress() {
    std::shared_ptr<ProgressWindow> outer = ProgressWindow::open("Outer", 2);
    say("outer owner " + std::to_string(outer->isOwner()));
    outer->setPhase("Phase A", 10);
    outer->step();
    outer->setValue(5);
    {
        std::shared_ptr<ProgressWindow> inner = ProgressWindow::open("Inner", 1);
        const std::shared_ptr<ProgressWindow> sharedInner = inner;
        say("inner owner " + std::to_string(inner->isOwner()));
        inner->setPhase("Hidden", 3);
        inner->step();
        inner->setValue(2);
        inner->increaseValue(4);
        inner->skipPhases(2);
        inner.reset();
        say("inner still shared");
    }
    say("inner released");
    outer->increaseValue(2);
    outer->skipPhases(2);
    outer->skipPhases(0);
    outer->skipPhases(-1);
    outer.reset();
    say("outer released");
    const std::shared_ptr<ProgressWindow> again = ProgressWindow::open("Again", 1);
    say("again owner " + std::to_string(again->isOwner()));
}

void cancelledProgress() {
    const std::shared_ptr<ProgressWindow> window = ProgressWindow::open("Work", 1);
    window->setPhase("Counting", 100);
    int steps = 0;
    while (!window->isCancelled() && steps < 100) {
        window->step();
        ++steps;
    }
    say("cancelled after " + std::to_string(steps));
    const std::shared_ptr<ProgressWindow> nested = ProgressWindow::open("Nested", 1);
    say("nested owner " + std::to_string(nested->isOwner()) + " sees cancel " +
        std::to_string(nested->isCancelled()));
}

void refusedProgress() {
    const std::shared_ptr<ProgressWindow> window = ProgressWindow::open("Refused", 1);
    window->setPhase("Hidden", 3);
    window->step();
    say("owner " + std::to_string(window->isOwner()) + " cancelled " + std::to_string(window->isCancelled()));
}

void nameRequest() {
    NameRequest request(nullptr, "", "", "First");
    const String name = request.request();
    say("name " + std::string(name.getView()) + (request.isCancelled() ? " (cancelled)" : ""));
}

// A palette that stays open after its command, until the host closes the project or quits.
class ToolPalette : public Dialog {
public:
    ToolPalette() : Dialog(32620, /*modal=*/false) {}
    void closed() override { say("palette closed"); }
};

std::unique_ptr<ToolPalette> palette;

void openPalette() {
    if (!palette) palette = std::make_unique<ToolPalette>();
    palette->open();
    say("palette open " + std::to_string(palette->isOpen()));
}

// A modal dialog open when the host closes the project: the host's notification aborts it, and a
// subscriber after the framework's still hears the notification.
class ProjectWatcher : public ProjectSubscriber {
public:
    bool receive(const ProjectEvent& event) override {
        say("project event " + std::to_string(event.getCode()));
        return false;
    }
    using ProjectSubscriber::receive;
};

ProjectWatcher watcher;

class ClosedWithTheProject : public Dialog {
public:
    ClosedWithTheProject() : Dialog(32621, /*modal=*/true) {}
    void opened() override { Addon::getInstance()->publishExternalEvent(ProjectEvent(32)); }
    void closed() override { say("modal closed"); }
};

void modalWithTheProject() {
    ClosedWithTheProject dialog;
    if (!Addon::getInstance()->isSubscribed(watcher)) Addon::getInstance()->subscribe(watcher);
    const DialogResult result = dialog.open();
    say("modal ended " + std::to_string(result));
}

// A dialog whose OK fails: the framework reports it and the dialog closes as cancelled.
class FailingDialog : public Dialog {
public:
    FailingDialog() : Dialog(32621, /*modal=*/true) {}
    void close(const ActionEvent&) override { throw TracedException("bad_alloc", "FailingDialog::close"); }
};

void failingOk() { say("failing dialog " + std::to_string(FailingDialog().open())); }

// The next pre-save notification shows an error, as a store that cannot be written would.
bool errorOnSave = false;

void errorAtSave() { errorOnSave = true; }

class SaveWatcher : public ProjectSubscriber {
public:
    bool receive(const ProjectEvent& event) override {
        if (errorOnSave && event.getCode() == host::kProjectPreSave) ErrorAlert().show("not stored");
        return false;
    }
    using ProjectSubscriber::receive;
};

class InterfaceMenu : public MenuSubscriber {
public:
    InterfaceMenu() : MenuSubscriber(32500, 32510, 0, 0) {}

protected:
    bool doCommand(const MenuEvent& event) override {
        using Scenario = void (*)();
        static constexpr Scenario kScenarios[] = {defaultTitles,     givenTitles,         ask,
                                                  askWithLabels,     customAlerts,        nestedProgress,
                                                  cancelledProgress, refusedProgress,     nameRequest,
                                                  openPalette,       modalWithTheProject, failingOk,
                                                  errorAtSave};
        const int index = event.getItem() - 1;
        if (index < 0 || index >= static_cast<int>(std::size(kScenarios))) return false;
        kScenarios[index]();
        return true;
    }
};

class InterfaceTestAddon : public Addon {
public:
    InterfaceTestAddon() : Addon(32528) {}
    ~InterfaceTestAddon() override {
        palette.reset();
        unsubscribe(watcher);
    }
    void installTools() override {
        menu_ = std::make_unique<InterfaceMenu>();
        subscribe(*menu_);
        subscribe(saveWatcher_);
    }

private:
    std::unique_ptr<InterfaceMenu> menu_;
    SaveWatcher saveWatcher_;
};

const AddonFactory registration(&AddonFactory::create<InterfaceTestAddon>, &AddonFactory::destroy);

}   // namespace
