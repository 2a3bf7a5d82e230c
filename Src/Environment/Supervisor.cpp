#include "Environment/Supervisor.h"

#include <algorithm>
#include <cstring>
#include <string>

#include <HostResult.h>
#include <HostTable.h>

#include "Environment/Event.h"
#include "Environment/HostApi.h"
#include "Environment/Publisher.h"
#include "Foundation/DataFile.h"
#include "Foundation/Directory.h"

namespace tarnwick {
namespace {

constexpr std::uint32_t kJoin = 0x4A4F494E;    // 'JOIN'
constexpr std::uint32_t kList = 0x4C495354;    // 'LIST'
constexpr std::uint32_t kLeave = 0x4C454156;   // 'LEAV'
constexpr std::uint32_t kEvent = 0x45564E54;   // 'EVNT'

constexpr const char* kMarkerName = "com.tarnwickgroup.supervisor";
constexpr const char* kMarkerExtension = "txt";

void putCode(std::string& bytes, std::uint32_t code) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes += static_cast<char>((code >> shift) & 0xFF);
}

std::uint32_t takeCode(std::string_view& bytes) {
    std::uint32_t code = 0;
    for (int i = 0; i < 4; ++i)
        code = (code << 8) | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
    bytes.remove_prefix(4);
    return code;
}

host::Handle handleOf(std::string_view bytes) {
    host::Handle handle = host::newHandle(bytes.size(), false);
    if (handle && !bytes.empty()) std::memcpy(*handle, bytes.data(), bytes.size());
    return handle;
}

std::string_view bytesOf(host::Handle handle) {
    if (!handle || !*handle) return {};
    return {*handle, host::getHandleSize(handle)};
}

// The event another add-on offered: only its key and description cross the modules.
class ForeignEvent : public Event {
public:
    ForeignEvent(std::uint32_t source, std::uint32_t type, std::string_view description)
        : Event(source, type), description_(description) {}
    String describe() const override { return description_; }

private:
    String description_;
};

}   // namespace

Supervisor::Supervisor(Publisher& events) : events_(events) {}

Supervisor::~Supervisor() = default;

// --- The link --------------------------------------------------------------------------------------
void Supervisor::connect(const String& ownName, std::unique_ptr<Directory> folder) {
    ownName_ = ownName;
    folder_ = std::move(folder);
    supervisorName_.clear();
    members_.clear();
    // No other add-on can reach one without a name (the host did not give it): it neither joins nor
    // supervises, and leaves no marker to be found.
    if (ownName_.isEmpty()) return;
    String named;
    if (folder_) {
        DataFile marker(*folder_, String(kMarkerName) + "." + kMarkerExtension, DataFile::kRead);
        const auto size = marker.getSize();
        if (size && *size > 0 && *size < 4096 && marker.open()) {
            std::string text(static_cast<std::size_t>(*size), '\0');
            if (marker.read(text.data(), text.size())) named = String(std::string_view(text));
        }
    }
    std::string reply;
    if (!named.isEmpty() && named != ownName_ && request(named, kJoin, ownName_.getView(), reply) == 0) {
        supervisorName_ = named;
        members_ = parseList(reply);
        return;
    }
    becomeSupervisor();
}

void Supervisor::becomeSupervisor() {
    supervisorName_ = ownName_;
    members_.assign(1, ownName_);
    if (!folder_) return;
    host::Result error = 0;
    // A meeting point of running add-ons, which a power cut ends: not worth a flush.
    folder_->replaceFile(
        kMarkerName, kMarkerExtension, [this](DataFile& marker) { return marker.write(ownName_); }, error,
        /*durable=*/false);
}

void Supervisor::disconnect() {
    if (ownName_.isEmpty()) return;
    if (isSupervisor()) {
        // The others find no supervisor at their next keep-alive and one of them takes over.
        if (folder_) {
            DataFile marker(*folder_, String(kMarkerName) + "." + kMarkerExtension, DataFile::kRead);
            if (marker.exists()) marker.remove();
        }
    } else if (!supervisorName_.isEmpty()) {
        std::string reply;
        request(supervisorName_, kLeave, ownName_.getView(), reply);
    }
    supervisorName_.clear();
    members_.clear();
}

void Supervisor::keepAlive() {
    if (ownName_.isEmpty() || isSupervisor()) return;
    std::string reply;
    if (request(supervisorName_, kList, {}, reply) == 0) {
        members_ = parseList(reply);
        return;
    }
    connect(ownName_, std::move(folder_));
}

std::vector<String> Supervisor::getMembers() {
    if (!isSupervisor() && !supervisorName_.isEmpty()) {
        std::string reply;
        if (request(supervisorName_, kList, {}, reply) == 0) members_ = parseList(reply);
    }
    return members_;
}

// --- Events ----------------------------------------------------------------------------------------
bool Supervisor::offerEvent(const Event& event) {
    std::string payload;
    putCode(payload, event.getSource());
    putCode(payload, event.getType());
    payload.append(event.describe().getView());
    for (const String& member : getMembers()) {
        if (member == ownName_) continue;
        std::string reply;
        if (request(member, kEvent, payload, reply) == 0 && reply == std::string(1, '\1')) return true;
    }
    return false;
}

// --- Serving ---------------------------------------------------------------------------------------
std::uint32_t Supervisor::serve(host::Handle parameters, void* resultData) {
    std::string_view bytes = bytesOf(parameters);
    if (bytes.size() < 4) return host::kErrBadParameters;
    const std::uint32_t code = takeCode(bytes);
    std::string reply;
    switch (code) {
        case kJoin:
        case kLeave: {
            if (!isSupervisor()) return host::kErrRefusedCommand;   // only the supervisor keeps the list
            const String name(bytes);
            if (name.isEmpty()) return host::kErrBadName;
            std::erase(members_, name);
            if (code == kJoin) members_.push_back(name);
            reply = listText();
            break;
        }
        case kList:
            reply = listText();
            break;
        case kEvent: {
            if (bytes.size() < 8) return host::kErrBadParameters;
            const std::uint32_t source = takeCode(bytes);
            const std::uint32_t type = takeCode(bytes);
            // Published here only: an event is never offered on again, so it cannot travel in a circle.
            const ForeignEvent event(source, type, bytes);
            reply.assign(1, events_.publish(event) ? '\1' : '\0');
            break;
        }
        default:
            return host::kErrBadParameters;
    }
    if (resultData) {
        host::Handle& out = *static_cast<host::Handle*>(resultData);
        out = handleOf(reply);
        if (!out && !reply.empty()) return host::kErrMemFull;
    }
    return 0;
}

std::uint32_t Supervisor::request(const String& addon, std::uint32_t code, std::string_view payload,
                                  std::string& reply) const {
    reply.clear();
    std::string bytes;
    putCode(bytes, code);
    bytes.append(payload);
    host::Handle parameters = handleOf(bytes);
    if (!parameters) return host::kErrMemFull;
    host::Handle answer = nullptr;
    const std::u16string target = addon.toUniString();
    const std::uint32_t result = hostApi().call<host::HostSlot::callAddonCommand>(
        target.c_str(), kCommandId, kVersion, parameters, static_cast<void*>(&answer));
    reply.assign(bytesOf(answer));
    host::disposeHandle(answer);
    host::disposeHandle(parameters);
    return result;
}

std::vector<String> Supervisor::parseList(std::string_view text) const {
    std::vector<String> names;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        if (end > 0) names.emplace_back(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return names;
}

std::string Supervisor::listText() const {
    std::string text;
    for (const String& name : members_) {
        text.append(name.getView());
        text += '\n';
    }
    return text;
}

}   // namespace tarnwick
