// Element3D: the 3D model the host holds of one placed element: its bodies.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>

#include <HostGuid.h>
#include <HostModel3D.h>

#include "Geometry/Body.h"
#include "Geometry/Cube.h"

namespace tarnwick {

// Made from the element's GUID. (The project model's element links will add a constructor from a link,
// which passes the link's GUID.) Shares the host's model of the element as read at construction; an
// element the host has no model of holds no 3D data.
class Element3D {
public:
    explicit Element3D(const host::GuidRecord& element);
    ~Element3D();

    bool hasData() const;   // at least one body that is not empty
    std::size_t getBodyCount() const;
    Body getBody(std::size_t index) const;   // an empty Body past the end
    std::optional<Cube> getBounds() const;   // of every body's vertices; none without data

private:
    std::shared_ptr<const host::Model3DElement> model_;   // null: no model
};

}   // namespace tarnwick
