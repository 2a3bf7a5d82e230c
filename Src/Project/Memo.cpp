#include "Project/Memo.h"

#include "Project/MemoStore.h"

namespace tarnwick {

Memo::~Memo() = default;

void Memo::update(Memo& /*newMemo*/, Memo& /*oldMemo*/) {}

bool Memo::loadOnDemand(std::uint64_t mask) {
    if (loaded_ && isValid()) return true;
    std::unique_ptr<MemoStore> store;   // whatever load makes is ours, and goes right after
    load(mask, store);
    return loaded_ && isValid();
}

}   // namespace tarnwick
