// TracedException: the framework's one exception type, with a kind, a place and the stack at throw.
#pragma once

#include <exception>
#include <string>
#include <vector>

#include "Foundation/String.h"

namespace tarnwick {

class ActivityLog;

// Thrown by value, caught as std::exception. The kind is a short name ("bad_alloc", "out_of_range",
// "bad_access", "unknown"); the place is "Class::method" (a suffix "-A", "-B" where one method throws in
// several places). The stack is captured when the exception is made.
class TracedException : public std::exception {
public:
    TracedException(const String& kind, const String& place);

    const char* what() const noexcept override;   // "kind in place"
    const String& getKind() const { return kind_; }
    const String& getPlace() const { return place_; }
    const std::vector<std::string>& getStack() const { return stack_; }   // innermost frame first

    // The exception report, one section after another, lines ending in "\n":
    //   EXCEPTION REPORT / Time: / Host: / Platform: / Type: / Message: / Stack Trace: /
    //   Recent Transactions: / Recent Events:
    // The last two list the registered logs' entries, oldest first, as "time<TAB>kind<TAB>text".
    String getReport() const;

    // The environment registers its transaction and event logs here; null lists nothing. The logs
    // must outlive the registration (register null before destroying them).
    static void setReportLogs(const ActivityLog* transactions, const ActivityLog* events);

private:
    String kind_;
    String place_;
    std::string message_;   // what()
    std::vector<std::string> stack_;
};

}   // namespace tarnwick
