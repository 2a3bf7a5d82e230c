// Package: one typed block of the add-on's settings or data, kept in a PackageStore under its
// four-character code and written there as an XML record under its own tag (the project's module data
// "frameworkPreferenceStore", a preference file).
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "Foundation/XMLAssembly.h"

namespace tarnwick {

// Owned by its store, or by the caller until filed. Derived packages give their code, their tag and
// children (the XMLAssembly child table) and their clone. A package's defaults are what clear() leaves:
// one whose defaults are not the empty record overrides clear().
class Package : public XMLAssembly {
public:
    explicit Package(std::string_view tag);   // the tag is borrowed, as for every record

    // Virtual operations, in this order.
    ~Package() override;
    std::unique_ptr<XMLAssembly> clone() const override = 0;   // a deep copy of the same kind
    // The clone as a package; throws TracedException "bad_cast" when a derived clone gives no package.
    virtual std::unique_ptr<Package> copy() const;
    virtual std::unique_ptr<Package> makeEmpty() const;   // a package of the same kind at its defaults
    virtual std::uint32_t getPackageCode() const = 0;
    virtual std::unique_ptr<Package> makeDefaultCopy() const;   // null unless a kind offers one
    // Three flags, each true here. Only the second is read by the framework: a store that resets its
    // packages with the skip flag leaves the packages alone that answer true.
    virtual bool isStored() const;
    virtual bool isKeptOnReset() const;
    virtual bool isShared() const;
    // Takes what another package of the same kind holds (as when two projects' module data are
    // merged). The base takes nothing; a kind ignores packages of other kinds.
    virtual void merge(const Package& other);
    virtual void shutDown();   // the add-on is shutting down; nothing here

protected:
    Package(const Package&) = default;
    Package& operator=(const Package&) = default;
};

}   // namespace tarnwick
