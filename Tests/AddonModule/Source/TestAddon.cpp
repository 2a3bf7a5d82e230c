// A small add-on on the framework: a menu whose commands run transactions that succeed, throw, decline
// and fail, publish an event for the add-ons of the supervisor, and a subscriber that tries to change
// the project from a project notification. The tests drive it through the simulated host.
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <FourCC.h>
#include <HostAddonProtocol.h>
#include <HostDebug.h>
#include <HostMemory.h>
#include <HostResult.h>

#include "Environment/Addon.h"
#include "Environment/AddonFactory.h"
#include "Environment/Event.h"
#include "Environment/EventKeyList.h"
#include "Environment/Framework.h"
#include "Environment/Host.h"
#include "Environment/HostApi.h"
#include "Environment/MenuEvent.h"
#include "Environment/MenuSubscriber.h"
#include "Environment/Package.h"
#include "Environment/PackageStore.h"
#include "Environment/ProjectEvent.h"
#include "Environment/Subscriber.h"
#include "Environment/Transaction.h"
#include "Foundation/TracedException.h"
#include "Foundation/XMLTypeProxy.h"

namespace {

using namespace tarnwick;

constexpr std::int16_t kMenuStrings = 32500;
constexpr std::int16_t kPromptStrings = 32510;
constexpr std::int16_t kInfoStrings = 32528;
constexpr char16_t kCounterName[] = u"counter";
constexpr std::uint32_t kPingSource = host::fourcc("TEST");
constexpr std::uint32_t kPingType = host::fourcc("PING");

void say(const std::string& line) { host::debugOutput("TestAddon: " + line); }

// The module data "counter": a decimal number as text, 0 when the project has none. Any other failure
// of the read is the host's result: the caller must not take it for "no counter" and write over it.
std::uint32_t readCounter(int& value) {
    value = 0;
    host::HostModuleData data{};
    const std::uint32_t result = hostApi().call<host::HostSlot::getModuleData>(kCounterName, &data);
    if (result == host::kErrNoModuleData) return 0;
    if (result != 0) return result;
    std::string text;
    if (data.data && *data.data) text.assign(*data.data, host::getHandleSize(data.data));
    host::disposeHandle(data.data);
    value = text.empty() ? 0 : std::stoi(text);
    return 0;
}

std::uint32_t writeCounter(int value) {
    const std::string text = std::to_string(value);
    host::HostModuleData data{};
    data.version = 1;
    data.data = host::newHandle(text.size(), false);
    if (!data.data) return host::kErrMemFull;
    std::memcpy(*data.data, text.data(), text.size());
    const std::uint32_t result = hostApi().call<host::HostSlot::putModuleData>(kCounterName, &data);
    host::disposeHandle(data.data);
    return result;
}

// A note kept in the project's package store.
class NotePackage : public Package {
public:
    static constexpr std::uint32_t kCode = host::fourcc("NOTE");

    NotePackage() : Package("testNote") {}
    NotePackage(const NotePackage& other) : Package(other), text(other.text) {}
    std::unique_ptr<XMLAssembly> clone() const override { return std::make_unique<NotePackage>(*this); }
    std::uint32_t getPackageCode() const override { return kCode; }
    void clear() override {
        Package::clear();
        text = "Default";
    }

    String text = "Default";

protected:
    std::span<const std::string_view> getChildTags() const override { return kTags; }
    std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override {
        return index == 0 ? std::make_unique<XMLTypeProxy<String>>(text, kTags[0]) : nullptr;
    }

private:
    static constexpr std::string_view kTags[] = {"text"};
};

// The note of the project (location 0) or of the preference file; null while no project is open.
NotePackage* note(std::int32_t location = Addon::kProjectLocation) {
    PackageStore* const store = Addon::getInstance()->getPackageStore(location);
    return store ? static_cast<NotePackage*>(store->find(NotePackage::kCode)) : nullptr;
}

// Tells the debug output, and the user when it failed: a failure must not pass for a success.
void saved(bool succeeded, const std::string& what) {
    say(what + (succeeded ? " saved" : " not saved"));
    if (!succeeded) Addon::showAlert(Host::getString(kInfoStrings, 3), String());
}

// --- Transactions ----------------------------------------------------------------------------------
class CountTransaction : public Transaction {
public:
    explicit CountTransaction(const String& name) : Transaction(name) {}
    std::uint32_t run() override {
        int value = 0;
        if (const std::uint32_t result = readCounter(value); result != 0) return result;
        return writeCounter(value + 1);
    }
    void finish(bool succeeded) override {
        say(std::string(getName().getView()) + " finished " + (succeeded ? "well" : "badly") + " as number " +
            std::to_string(getId()));
    }
};

class ThrowingTransaction : public CountTransaction {
public:
    ThrowingTransaction() : CountTransaction("Throw In Body") {}
    std::uint32_t run() override {
        CountTransaction::run();   // changed first, so that the roll-back shows
        throw TracedException("out_of_range", "TestAddon::ThrowingTransaction::run");
    }
};

// Declines; or throws, as a preparation that fails does, when TESTADDON_THROW_PREPARE is set.
class DecliningTransaction : public CountTransaction {
public:
    DecliningTransaction() : CountTransaction("Decline Prepare") {}
    bool prepare() override {
        if (std::getenv("TESTADDON_THROW_PREPARE"))
            throw TracedException("unknown", "TestAddon::DecliningTransaction::prepare");
        return false;
    }
};

// A step run inside another that declines at its start.
class InnerDecliningTransaction : public CountTransaction {
public:
    InnerDecliningTransaction() : CountTransaction("Inner Step") {}
    bool prepare() override { return false; }
};

class FailingTransaction : public CountTransaction {
public:
    FailingTransaction() : CountTransaction("Fail Body") {}
    std::uint32_t run() override {
        CountTransaction::run();
        return host::kErrBadIndex;
    }
};

class NestingTransaction : public CountTransaction {
public:
    NestingTransaction() : CountTransaction("Nested Transactions") {}
    std::uint32_t run() override {
        // The inner step declines when TESTADDON_INNER_DECLINES is set; its caller goes on all the same.
        std::unique_ptr<CountTransaction> inner = std::make_unique<CountTransaction>("Inner Step");
        if (std::getenv("TESTADDON_INNER_DECLINES")) inner = std::make_unique<InnerDecliningTransaction>();
        const std::uint32_t handled = Host::makeTransaction(*inner) & 0xFF;
        return handled ? CountTransaction::run() : host::kErrGeneral;
    }
};

// Turns the suspend-groups mode on through the host facade.
class SuspendTransaction : public Transaction {
public:
    SuspendTransaction() : Transaction("Suspend Groups") {}
    std::uint32_t run() override { return Host::setSuspendGroups(/*off=*/false) ? 0 : host::kErrGeneral; }
};

// --- Subscribers -----------------------------------------------------------------------------------
class TestMenu : public MenuSubscriber {
public:
    TestMenu() : MenuSubscriber(kMenuStrings, kPromptStrings, 0, 0) {}

protected:
    bool doCommand(const MenuEvent& event) override {
        std::unique_ptr<Transaction> transaction;
        switch (event.getItem()) {
            case 1:
                transaction = std::make_unique<CountTransaction>("Change Data");
                break;
            case 2:
                transaction = std::make_unique<ThrowingTransaction>();
                break;
            case 3:
                transaction = std::make_unique<DecliningTransaction>();
                break;
            case 4:
                transaction = std::make_unique<FailingTransaction>();
                break;
            case 5: {
                const bool handled =
                    Addon::getInstance()->publishExternalEvent(Event(kPingSource, kPingType));
                say(handled ? "ping handled" : "ping not handled");
                return true;
            }
            case 6:
                transaction = std::make_unique<NestingTransaction>();
                break;
            case 7:
                transaction = std::make_unique<SuspendTransaction>();
                break;
            case 8:
                if (NotePackage* project = note()) project->text = "Saved";
                saved(Addon::getInstance()->savePreferences(Addon::kProjectLocation), "note");
                return true;
            case 9:
                say("note " + std::string(note() ? note()->text.getView() : "none"));
                say("file note " + std::string(note(Addon::kFileLocation)->text.getView()));
                return true;
            case 10:
                note(Addon::kFileLocation)->text = "In File";
                saved(Addon::getInstance()->savePreferences(Addon::kFileLocation), "file note");
                return true;
            default:
                return false;
        }
        const std::uint32_t result = Host::makeTransaction(*transaction);
        say(std::string(transaction->getName().getView()) + " handled " + std::to_string(result & 0xFF));
        return (result & 0xFF) != 0;
    }
};

// Handles the ping only in the second add-on, so that the first one's ping travels to it.
class PingSubscriber : public Subscriber {
public:
    void subscribe(EventKeyList& keys) const override { keys.append(kPingSource, kPingType); }
    bool receive(const Event& event) override {
        const String name = Addon::getInstance()->getName();
        say(std::string(name.getView()) + " offered " + std::string(event.describe().getView()));
        return name == "TestAddon2";
    }
};

// Tries to change the project while the host reports that it was saved, tells what it finds of the
// project before when another one is opened, and whether the project closing can still be read.
class ProjectWatcher : public Subscriber {
public:
    void subscribe(EventKeyList& keys) const override {
        keys.append(ProjectEvent::kSource, ProjectEvent::kType);
    }
    bool receive(const Event& event) override {
        const auto* project = dynamic_cast<const ProjectEvent*>(&event);
        if (project && project->getCode() == host::kProjectOpen)
            say("open finds " + std::to_string(Host::getTransactionCount()) + " transactions");
        if (project && project->getCode() == host::kProjectClose)
            say(Host::getProject() ? "close finds the project" : "close finds no project");
        if (!project || project->getCode() != host::kProjectSave) return false;
        CountTransaction transaction("In Notification");
        Host::makeTransaction(transaction);
        return false;
    }
};

class TestAddon : public Addon {
public:
    TestAddon() : Addon(kInfoStrings) {}
    String getVersion() const override { return "1.02"; }
    String getBuild() const override { return "7"; }
    void installTools() override {
        tools_.push_back(std::make_unique<TestMenu>());
        tools_.push_back(std::make_unique<PingSubscriber>());
        tools_.push_back(std::make_unique<ProjectWatcher>());
        for (const auto& tool : tools_) subscribe(*tool);
        registerPackage(NotePackage(), kProjectLocation);
        registerPackage(NotePackage(), kFileLocation);
        // A start-up that fails once the add-on is made, as when the product cannot set up its tools.
        if (std::getenv("TESTADDON_FAIL_INSTALL"))
            throw TracedException("unknown", "TestAddon::installTools");
    }

private:
    std::vector<std::unique_ptr<Subscriber>> tools_;
};

const AddonFactory registration(&AddonFactory::create<TestAddon>, &AddonFactory::destroy);

}   // namespace
