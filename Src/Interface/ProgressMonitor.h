// ProgressMonitor: what long work reports its progress to.
#pragma once

namespace tarnwick {

// A monitor that shows nothing: every operation does nothing here. ProgressWindow shows it in the host.
class ProgressMonitor {
public:
    ProgressMonitor() = default;
    virtual ~ProgressMonitor();

    ProgressMonitor(const ProgressMonitor&) = delete;
    ProgressMonitor& operator=(const ProgressMonitor&) = delete;

    virtual void step();   // one more unit of work done
};

}   // namespace tarnwick
