#include "Project/MemoStore.h"

namespace tarnwick {

MemoStore::~MemoStore() = default;

}   // namespace tarnwick
