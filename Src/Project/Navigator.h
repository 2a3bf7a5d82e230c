// Navigator: the project's navigator of views, as the add-on keeps it for the Project.
#pragma once

namespace tarnwick {

// Made empty by the Project on first use and dropped by its clear. It holds no items: the add-on reads
// none of the host's navigator, so this is the Project's place for it and nothing more.
class Navigator {
public:
    virtual ~Navigator() = default;
};

}   // namespace tarnwick
