// Transaction: one unit of work on the project, run by Host::makeTransaction.
#pragma once

#include <cstdint>
#include <memory>

#include "Foundation/String.h"

namespace tarnwick {

class EditManager;

// Owned by whoever runs it; not copyable. Host::makeTransaction calls prepare outside the undo step,
// run inside it, then finish. The transaction's EditManager (made when the body first asks for it)
// is put back by the runner: elements relocked and layers restored inside the undo step, right after
// the body (or right after a prepare that declined or threw), and reservations given back when the
// transaction ends, whatever its outcome.
class Transaction {
public:
    // The name is also the undo text (empty: no undo step); the flags are those of its EditManager.
    explicit Transaction(const String& name, bool teamwork = true, bool allowOtherDatabases = false);
    virtual ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Virtual operations, in this order.
    virtual void setId(std::uint32_t id);   // given when the transaction is numbered
    virtual bool prepare();                 // outside the undo step; false declines (default true)
    virtual std::uint32_t run() = 0;        // the body: 0 = success, else a host error code
    virtual void finish(bool succeeded);    // after the body, with its outcome (default: nothing)

    // The transaction's editing scope, made with the transaction's flags.
    EditManager& getEditManager();
    EditManager* findEditManager() const { return editManager_.get(); }   // null until asked for

    const String& getName() const { return name_; }
    std::uint32_t getId() const { return id_; }   // 0 until numbered

private:
    String name_;
    std::uint32_t id_ = 0;
    bool teamwork_;
    bool allowOtherDatabases_;
    std::unique_ptr<EditManager> editManager_;
};

}   // namespace tarnwick
