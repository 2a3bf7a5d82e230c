#include "Environment/Transaction.h"

#include "Project/EditManager.h"

namespace tarnwick {

Transaction::Transaction(const String& name, bool teamwork, bool allowOtherDatabases)
    : name_(name), teamwork_(teamwork), allowOtherDatabases_(allowOtherDatabases) {}

Transaction::~Transaction() = default;

void Transaction::setId(std::uint32_t id) { id_ = id; }

bool Transaction::prepare() { return true; }

void Transaction::finish(bool) {}

EditManager& Transaction::getEditManager() {
    if (!editManager_) editManager_ = std::make_unique<EditManager>(teamwork_, allowOtherDatabases_);
    return *editManager_;
}

}   // namespace tarnwick
