#include "Interface/ProgressMonitor.h"

namespace tarnwick {

ProgressMonitor::~ProgressMonitor() = default;

void ProgressMonitor::step() {}

}   // namespace tarnwick
