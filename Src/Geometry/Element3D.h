// Element3D: the 3D model the host holds of one placed element: its bodies.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>

#include <HostGuid.h>
#include <HostModel3D.h>
#include <HostModeler.h>

#include "Geometry/Body.h"
#include "Geometry/Cube.h"

namespace tarnwick {

// Made from the element's GUID, or as the element of an index of a 3D window's host model (the 3D
// view's element links give the index). Shares the host's model of the element as read at construction,
// so it stays whole when the host model is rebuilt; an element the host has no model of holds no 3D data.
class Element3D {
public:
    explicit Element3D(const host::GuidRecord& element);
    Element3D(const host::ModelerModel& model, std::int32_t index);   // no data for an index outside
    ~Element3D();

    bool hasData() const;   // at least one body that is not empty
    std::size_t getBodyCount() const;
    Body getBody(std::size_t index) const;                      // an empty Body past the end
    std::optional<Cube> getBounds() const;                      // of every body's vertices; none without data
    const host::GuidRecord& getGuid() const { return guid_; }   // the placed element's

private:
    host::GuidRecord guid_{};
    std::shared_ptr<const host::Model3DElement> model_;   // null: no model
};

}   // namespace tarnwick
