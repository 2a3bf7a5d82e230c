// The parameter services of the simulated host, answered through the utilities dispatcher: editing
// sessions over the parameters of a placed element or a library part ('OPAR', 'CHGP', 'GPAR', 'CPAR')
// and add-on command parameter lists ('NCLP', 'GCLP', 'ICLP', 'ACLP', 'FCLP'). Records in
// HostParameters.h. A session works on a copy: the project changes only when the add-on writes the
// parameters back (an element's memo, a library part's section), so none of these needs an undo scope.
#pragma once

#include <cstdint>
#include <vector>

#include "HostMemory.h"
#include "HostParameters.h"
#include "HostResult.h"
#include "SimProject.h"

namespace host {

// The open editing session, if any.
struct SimParameterWork {
    bool open = false;
    std::vector<SimParameter> parameters;
    double a = 0.0;
    double b = 0.0;
};

class SimParameters {
public:
    SimParameters(SimProject& project, SimParameterWork& work) : project_(project), work_(work) {}

    static bool isParameterCode(std::uint32_t code);
    // The dispatcher's answer for one of the codes above; kErrBadParameters for missing arguments.
    Result answer(std::uint32_t code, void* p1, void* p2);

    // 'OPAR': kErrBadIndex for no such element or part; a session left open gives way to the new one.
    Result open(const ParameterOwnerRecord& owner);
    // 'CHGP': the parameter by name (ASCII case ignored) or, with an empty name, by index; an array's cell
    // by 1-based row and column. kErrBadName: no such parameter; kErrBadIndex: no such cell; both, and
    // kErrRefusedCommand without a session, change nothing.
    Result change(const ParameterChangeRecord& change);
    Result result(ParameterResultRecord& result) const;   // 'GPAR'
    Result close();                                       // 'CPAR': kErrRefusedCommand when none is open

    // Command parameter lists: a handle of CommandParameterRecords, each owning its blocks.
    static Result newList(Handle& list);                                       // 'ICLP'
    static Result count(Handle list, std::int32_t& count);                     // 'NCLP'
    static Result get(Handle list, CommandParameterRecord& record);            // 'GCLP'
    static Result append(Handle list, const CommandParameterRecord& record);   // 'ACLP'
    static Result freeList(Handle& list);                                      // 'FCLP'

private:
    SimProject& project_;
    SimParameterWork& work_;
};

}   // namespace host
