// FinishLookup: finds the surface finish of a material index of the host's 3D model.
#pragma once

#include <cstdint>

namespace tarnwick {

class Finish;

// An interface with one operation; its own answer reads the host's 3D component record of the material.
class FinishLookup {
public:
    virtual ~FinishLookup() = default;
    // The finish of the material index: an empty Finish when the host cannot give the material.
    virtual Finish getFinish(std::int32_t materialIndex);
};

}   // namespace tarnwick
