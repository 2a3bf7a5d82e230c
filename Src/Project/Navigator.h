// Navigator: the project's navigator of views, as the add-on keeps it for the Project.
#pragma once

namespace tarnwick {

// Made empty by the Project on first use and dropped by its clear; the add-on reads no navigator item
// of the host, so it holds nothing yet.
class Navigator {
public:
    virtual ~Navigator() = default;
};

}   // namespace tarnwick
