// GableList: the gables of an element, in the host's order; owns them.
#pragma once

#include <memory>
#include <vector>

#include "Elements/Gable.h"

namespace tarnwick {

class GableList : public std::vector<std::unique_ptr<Gable>> {
public:
    GableList() = default;
    GableList(const GableList&) = delete;
    GableList& operator=(const GableList&) = delete;
    virtual ~GableList();

    virtual std::unique_ptr<GableList> clone() const;   // every gable copied
};

}   // namespace tarnwick
