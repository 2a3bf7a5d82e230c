// Plan: the project's floor plan with its storeys; its id and name follow the host's current storey.
#pragma once

#include <cstdint>
#include <memory>

#include "Project/Drawing.h"
#include "Project/Storey.h"

namespace tarnwick {

// Made with the Project (empty database guid). The storey list is read once ('GSTO') and kept until
// clear. The current storey is asked of the host each time (once per walk while the project keeps the
// host's answers), so the id and name follow a storey change made here or by the user.
class Plan : public Drawing {
public:
    Plan(Project& project, const Guid& databaseGuid);
    ~Plan() override;

    void clear() override;               // the Drawing's clear; the storey list goes
    String typeName() const override;    // "Floor Plan"
    LinkRecord getId() const override;   // the Drawing's id with the current storey's index (0 when none)
    // The project file's name, " / ", then "<index>. <name>" of the current storey (the name only when
    // it has one). Untitled: the text starts with " / ".
    String getName() override;
    std::int32_t getDatabaseType() const override;
    std::int32_t getNavigatorType() const override;

    // The current storey (null when the host names none, or none of the list), and a change of it
    // ('CSTO', made current first; without rebuilding the views when rebuild is false). True on 0.
    virtual Storey* getCurrentStorey();
    virtual bool changeStorey(const Storey& storey, bool rebuild);

    // The storey list, read once. False when the host fails (the list stays empty).
    bool loadStoreys();
    std::int32_t getStoreyCount();
    std::int32_t getFirstStoreyIndex();   // of the lowest storey; 0 when there is none
    std::int32_t getLastStoreyIndex();    // of the highest storey; 0 when there is none
    // The storey of a host index, of a name, of a second number; null when none (owned by the Plan,
    // gone with clear).
    Storey* getStorey(std::int16_t index);
    Storey* getStoreyByName(const String& name);
    Storey* getStoreyByNumber(std::int16_t number);
    const StoreyList* getStoreys();   // null when not loaded

private:
    // The host's storeys and current index ('GSTO'). With a list it fills it; false when the host fails.
    bool readStoreys(StoreyList* list, std::int16_t& current) const;
    // The current storey's index: kept while the project keeps the host's answers, else asked.
    bool currentIndex(std::int16_t& index) const;

    mutable std::unique_ptr<StoreyList> storeys_;   // null until loaded
    mutable std::int16_t current_ = 0;              // the current storey index as last read
    mutable bool hasCurrent_ = false;               // the host named a current storey
    mutable std::uint64_t currentEpoch_ = 0;        // the project's answer epoch of that reading; 0 none
};

}   // namespace tarnwick
