#include "Environment/Package.h"

#include "Foundation/TracedException.h"

namespace tarnwick {

Package::Package(std::string_view tag) : XMLAssembly(tag) {}

Package::~Package() = default;

std::unique_ptr<Package> Package::copy() const {
    std::unique_ptr<XMLAssembly> record = clone();
    auto* package = dynamic_cast<Package*>(record.get());
    if (!package) throw TracedException("bad_cast", "Package::copy");
    record.release();
    return std::unique_ptr<Package>(package);
}

std::unique_ptr<Package> Package::makeEmpty() const {
    std::unique_ptr<Package> empty = copy();
    empty->clear();
    return empty;
}

std::unique_ptr<Package> Package::makeDefaultCopy() const { return nullptr; }

bool Package::isStored() const { return true; }

bool Package::isKeptOnReset() const { return true; }

bool Package::isShared() const { return true; }

void Package::merge(const Package&) {}

void Package::shutDown() {}

}   // namespace tarnwick
