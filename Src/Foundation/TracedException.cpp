#include "Foundation/TracedException.h"

#include <chrono>
#include <string>

#include <HostDebug.h>
#include <HostSystem.h>

#include "Foundation/ActivityLog.h"

namespace tarnwick {
namespace {

constexpr int kStackFrames = 32;

// Registered by the environment; the report lists them when present.
const ActivityLog* transactionLog = nullptr;
const ActivityLog* eventLog = nullptr;

void listLog(String& report, const char* heading, const ActivityLog* log) {
    report += heading;
    report += "\n";
    if (!log) return;
    for (const ActivityLog::Entry& entry : log->getEntries()) {
        report += entry.getTimeText();
        report += "\t";
        report += entry.kind;
        report += "\t";
        report += entry.text;
        report += "\n";
    }
}

}   // namespace

TracedException::TracedException(const String& kind, const String& place)
    : kind_(kind), place_(place), stack_(host::captureStack(kStackFrames)) {
    message_.append(kind_.getView()).append(" in ").append(place_.getView());
}

const char* TracedException::what() const noexcept { return message_.c_str(); }

String TracedException::getReport() const {
    String report("EXCEPTION REPORT\n\n");
    const ActivityLog::Entry now{ActivityLog::Clock::now(), String(), String()};
    report += "Time: ";
    report += now.getTimeText();
    report += "\nHost: ";
    report += String(std::string_view(host::hostDescription()));
    report += "\nPlatform: ";
    report += String(std::string_view(host::platformDescription()));
    report += "\nType: ";
    report += kind_;
    report += "\n\nMessage:\n";
    report += String(std::string_view(message_));
    report += "\n\nStack Trace:\n";
    for (const std::string& frame : stack_) {
        report += String(std::string_view(frame));
        report += "\n";
    }
    report += "\n";
    listLog(report, "Recent Transactions:", transactionLog);
    report += "\n";
    listLog(report, "Recent Events:", eventLog);
    return report;
}

void TracedException::setReportLogs(const ActivityLog* transactions, const ActivityLog* events) {
    transactionLog = transactions;
    eventLog = events;
}

}   // namespace tarnwick
