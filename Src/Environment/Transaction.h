// Transaction: one unit of work on the project, run by Host::makeTransaction.
#pragma once

#include <cstdint>

#include "Foundation/String.h"

namespace tarnwick {

// Owned by whoever runs it; not copyable. Host::makeTransaction calls prepare outside the undo step,
// run inside it, then finish. The editing scope over host elements (layers shown and unlocked,
// elements reserved) joins the transaction with the project model; the runner keeps a step for it.
class Transaction {
public:
    explicit Transaction(const String& name);   // the name is also the undo text; empty: no undo step
    virtual ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Virtual operations, in this order.
    virtual void setId(std::uint32_t id);   // given when the transaction is numbered
    virtual bool prepare();                 // outside the undo step; false declines (default true)
    virtual std::uint32_t run() = 0;        // the body: 0 = success, else a host error code
    virtual void finish(bool succeeded);    // after the body, with its outcome (default: nothing)

    const String& getName() const { return name_; }
    std::uint32_t getId() const { return id_; }   // 0 until numbered

private:
    String name_;
    std::uint32_t id_ = 0;
};

}   // namespace tarnwick
