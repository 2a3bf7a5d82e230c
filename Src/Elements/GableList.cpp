#include "Elements/GableList.h"

namespace tarnwick {

GableList::~GableList() = default;

std::unique_ptr<GableList> GableList::clone() const {
    auto copy = std::make_unique<GableList>();
    copy->reserve(size());
    for (const auto& gable : *this) copy->push_back(gable ? gable->clone() : nullptr);
    return copy;
}

}   // namespace tarnwick
