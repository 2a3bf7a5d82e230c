// The simulated host's 3D window: the sight it hands out and the model built for it (the floor plan's
// elements on shown layers, the surface materials and their textures), the 3D component record of a
// surface material, and the window's projection ('GP3D', 'CP3D') with its part of the project file.
#pragma once

#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "HostModeler.h"
#include "HostProjection.h"
#include "HostResult.h"
#include "SimProject.h"

namespace host {

class SimModelView {
public:
    explicit SimModelView(SimProject& project) : project_(project) {}

    // A new sight of the 3D window over the source, one reference for the caller. kErrRefusedCommand
    // when the 3D window is not the front window.
    Result sight(const std::shared_ptr<const ModelerSource>& source, ModelerSight** sight) const;
    // What the 3D window shows now: elements of the floor plan on shown layers that have a 3D model, in
    // host order; surface material n as material n; the textures of the materials that have one, in
    // material order.
    Result fill(ModelerContent& content) const;
    // Kind 7: the surface material of the index. kErrBadParameters for another kind, kErrBadIndex for
    // an index the project lacks.
    Result component(Component3DRecord& record) const;
    Result projection(ProjectionRecord& record) const;   // 'GP3D'
    // 'CP3D': kErrBadParameters for values that are not finite, a camera on its target or a view angle
    // outside (0, pi); the projection is then unchanged.
    Result setProjection(const ProjectionRecord& record);

private:
    SimProject& project_;
};

// The project file's "view3D": "" when read, else why it could not be; null when it holds the defaults.
std::string readView3D(const nlohmann::ordered_json& section, ViewState& view);
nlohmann::ordered_json writeView3D(const ViewState& view);

}   // namespace host
