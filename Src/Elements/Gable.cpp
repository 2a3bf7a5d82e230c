#include "Elements/Gable.h"

#include <cstring>

namespace tarnwick {

Gable::Gable(const void* bytes) { std::memcpy(record_.data(), bytes, kRecordSize); }

Gable::~Gable() = default;

std::unique_ptr<Gable> Gable::clone() const { return std::make_unique<Gable>(*this); }

}   // namespace tarnwick
