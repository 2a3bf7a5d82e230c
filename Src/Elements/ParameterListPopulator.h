// ParameterListPopulator: a parameter memo that belongs to no element: it only reads what it is given
// (the host's default parameters of an element type) and hands them to a list.
#pragma once

#include <memory>

#include "LibraryParts/ParameterMemo.h"

namespace tarnwick {

class ParameterListPopulator : public ParameterMemo {
public:
    bool load(std::uint64_t mask, std::unique_ptr<MemoStore>& store) override;   // nothing to fetch
};

}   // namespace tarnwick
