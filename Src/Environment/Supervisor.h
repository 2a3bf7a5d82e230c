// Supervisor: the link between the add-ons built on this framework, through their shared add-on command
// service 'GSUP' version 1. One of them supervises: it keeps the list of those add-ons; the others join
// it. Events that no subscriber of an add-on handles are offered to the others through it.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include <HostMemory.h>

#include "Foundation/String.h"

namespace tarnwick {

class Directory;
class Event;
class Publisher;

// Owned by the Addon. The supervisor's name is kept in the shared preferences folder, so an add-on that
// starts later finds it; a name that no longer answers is taken over by the add-on that notices.
//
// A request crosses as the parameter handle: its four-character code (big-endian, as written), then
// UTF-8 text. The reply goes into the caller's result data, a host::Handle* that receives a new handle.
//   'JOIN' name     the supervisor adds the add-on; reply: the list, one name a line, supervisor first
//   'LIST'          reply: the list as the answering add-on knows it
//   'LEAV' name     the supervisor drops the add-on
//   'EVNT' source type text   (8 bytes of codes, then the description) offered to the answering add-on's
//                   subscribers as an event of that key; reply: one byte, 1 when handled
class Supervisor {
public:
    static constexpr std::uint32_t kCommandId = 0x47535550;   // 'GSUP'
    static constexpr std::int32_t kVersion = 1;

    // `events` receives the events other add-ons offer; borrowed, it outlives the Supervisor.
    explicit Supervisor(Publisher& events);
    ~Supervisor();
    Supervisor(const Supervisor&) = delete;
    Supervisor& operator=(const Supervisor&) = delete;

    // Joins the supervisor named in the shared folder, or becomes it when there is none or it does not
    // answer. The folder is where the marker file lives; null: this add-on supervises alone. Without a
    // name it stays apart: no marker, no list.
    void connect(const String& ownName, std::unique_ptr<Directory> folder);
    void disconnect();   // leaves the supervisor; a supervisor removes its marker
    void keepAlive();    // connects again when the supervisor stopped answering

    bool isSupervisor() const { return !ownName_.isEmpty() && supervisorName_ == ownName_; }
    const String& getSupervisorName() const { return supervisorName_; }   // "" before connect
    std::vector<String> getMembers();   // the supervisor's list (asked for when another supervises)

    // Offers the event to the other add-ons in the list until one handles it.
    bool offerEvent(const Event& event);

    // Serves a 'GSUP' request of another add-on; 0 or a host error code.
    std::uint32_t serve(host::Handle parameters, void* resultData);

private:
    std::uint32_t request(const String& addon, std::uint32_t code, std::string_view payload,
                          std::string& reply) const;
    void becomeSupervisor();
    std::vector<String> parseList(std::string_view text) const;
    std::string listText() const;

    Publisher& events_;
    String ownName_;
    String supervisorName_;
    std::vector<String> members_;   // the supervisor's list; a copy elsewhere
    std::unique_ptr<Directory> folder_;
};

}   // namespace tarnwick
