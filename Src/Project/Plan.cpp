#include "Project/Plan.h"

#include <HostResult.h>

#include "Environment/HostApi.h"
#include "Foundation/Memory.h"
#include "Project/Project.h"

namespace tarnwick {

namespace {
// The last part of a path ('/' or '\' separated).
String fileNameOf(const std::u16string& path) {
    const std::size_t slash = path.find_last_of(u"/\\");
    return String(std::u16string_view(path).substr(slash == std::u16string::npos ? 0 : slash + 1));
}
}   // namespace

Plan::Plan(Project& project, const Guid& databaseGuid) : Drawing(project, databaseGuid) {}
Plan::~Plan() = default;

void Plan::clear() {
    Drawing::clear();
    storeys_.reset();
    currentEpoch_ = 0;
}

String Plan::typeName() const { return "Floor Plan"; }
std::int32_t Plan::getDatabaseType() const { return 1; }
std::int32_t Plan::getNavigatorType() const { return 2; }

// --- Storeys -------------------------------------------------------------------------------------
bool Plan::readStoreys(StoreyList* list, std::int16_t& current) const {
    host::StoreyInfoRecord info{};
    if (hostApi().environment(fourcc("GSTO"), &info,
                              reinterpret_cast<void*>(static_cast<std::intptr_t>(host::kStoreyInfoAll))) !=
        host::kNoError) {
        tarnwick::disposeHandle(info.storeys);
        return false;
    }
    current = info.currentIndex;
    if (list != nullptr) {
        const std::size_t count = tarnwick::getHandleSize(info.storeys) / sizeof(host::StoreyRecord);
        const auto* records =
            count > 0 ? reinterpret_cast<const host::StoreyRecord*>(*info.storeys) : nullptr;
        // The last record only closes the height of the top storey.
        for (std::size_t i = 0; i + 1 < count; ++i)
            list->push_back(std::make_unique<Storey>(const_cast<Plan*>(this), records[i],
                                                     records[i + 1].level - records[i].level));
    }
    tarnwick::disposeHandle(info.storeys);
    return true;
}

bool Plan::loadStoreys() {
    if (storeys_) return true;
    storeys_ = std::make_unique<StoreyList>();
    std::int16_t current = 0;
    if (!readStoreys(storeys_.get(), current)) return false;
    current_ = current;
    hasCurrent_ = true;
    currentEpoch_ = getProject().getAnswerEpoch();
    return true;
}

bool Plan::currentIndex(std::int16_t& index) const {
    const std::uint64_t epoch = getProject().getAnswerEpoch();
    if (epoch == 0 || currentEpoch_ != epoch) {
        // The host gives the storeys with the current one: kept when they were not yet.
        auto list = storeys_ ? nullptr : std::make_unique<StoreyList>();
        std::int16_t current = 0;
        hasCurrent_ = readStoreys(list.get(), current);
        if (list && hasCurrent_) storeys_ = std::move(list);
        current_ = current;
        currentEpoch_ = epoch;
    }
    index = current_;
    return hasCurrent_;
}

const StoreyList* Plan::getStoreys() {
    loadStoreys();
    return storeys_.get();
}

std::int32_t Plan::getStoreyCount() {
    loadStoreys();
    return static_cast<std::int32_t>(storeys_->size());
}

std::int32_t Plan::getFirstStoreyIndex() {
    loadStoreys();
    return storeys_->empty() ? 0 : storeys_->front()->getIndex();
}

std::int32_t Plan::getLastStoreyIndex() {
    loadStoreys();
    return storeys_->empty() ? 0 : storeys_->back()->getIndex();
}

Storey* Plan::getStorey(std::int16_t index) {
    loadStoreys();
    for (const auto& storey : *storeys_)
        if (storey && storey->getIndex() == index) return storey.get();
    return nullptr;
}

Storey* Plan::getStoreyByName(const String& name) {
    loadStoreys();
    for (const auto& storey : *storeys_)
        if (storey && storey->getName() == name) return storey.get();
    return nullptr;
}

Storey* Plan::getStoreyByNumber(std::int16_t number) {
    loadStoreys();
    for (const auto& storey : *storeys_)
        if (storey && storey->getNumber() == number) return storey.get();
    return nullptr;
}

Storey* Plan::getCurrentStorey() {
    loadStoreys();
    std::int16_t index = 0;
    return currentIndex(index) ? getStorey(index) : nullptr;
}

bool Plan::changeStorey(const Storey& storey, bool rebuild) {
    if (!makeCurrent()) return false;
    host::StoreyCommandRecord record{};
    record.command = 0;
    record.index = static_cast<std::int16_t>(storey.getIndex());
    record.noRebuild = rebuild ? 0 : 1;
    if (setLastHostResult(hostApi().environment(fourcc("CSTO"), &record)) != host::kNoError) return false;
    // What the host now has: kept for the walk in progress, asked again otherwise.
    current_ = record.index;
    hasCurrent_ = true;
    currentEpoch_ = getProject().getAnswerEpoch();
    return true;
}

// --- Id and name -----------------------------------------------------------------------------------
LinkRecord Plan::getId() const {
    LinkRecord id = Drawing::getId();
    std::int16_t index = 0;
    if (currentIndex(index)) id.setIndex(index);
    return id;
}

String Plan::getName() {
    String text;
    host::ProjectInfoRecord info{};
    if (hostApi().environment(fourcc("PROJ"), &info) == host::kNoError && info.location != nullptr) {
        const std::size_t units = tarnwick::getHandleSize(info.location) / sizeof(char16_t);
        text = fileNameOf(std::u16string(reinterpret_cast<const char16_t*>(*info.location), units));
    }
    tarnwick::disposeHandle(info.location);
    text += " / ";
    if (const Storey* storey = getCurrentStorey()) {
        text += String(storey->getIndex());
        text += ". ";
        text += storey->getName();
    }
    return text;
}

}   // namespace tarnwick
