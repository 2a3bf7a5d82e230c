#include "SimZoom.h"

#include <cmath>

namespace host {

Result zoomTo(SimView& view, const BoxRecord& box) {
    if (!(box.xMin < box.xMax) || !(box.yMin < box.yMax) || !std::isfinite(box.xMax - box.xMin) ||
        !std::isfinite(box.yMax - box.yMin))
        return kErrBadParameters;
    view.earlierZooms.push_back(view.zoom);
    view.zoom = {box.xMin, box.yMin, box.xMax, box.yMax};
    return kNoError;
}

Result zoomBack(SimView& view) {
    if (view.earlierZooms.empty()) return kErrRefusedCommand;
    view.zoom = view.earlierZooms.back();
    view.earlierZooms.pop_back();
    return kNoError;
}

}   // namespace host
