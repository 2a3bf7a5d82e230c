#include "Environment/Transaction.h"

namespace tarnwick {

Transaction::Transaction(const String& name) : name_(name) {}

Transaction::~Transaction() = default;

void Transaction::setId(std::uint32_t id) { id_ = id; }

bool Transaction::prepare() { return true; }

void Transaction::finish(bool) {}

}   // namespace tarnwick
