#include "Elements/ParameterListPopulator.h"

namespace tarnwick {

bool ParameterListPopulator::load(std::uint64_t, std::unique_ptr<MemoStore>&) { return false; }

}   // namespace tarnwick
