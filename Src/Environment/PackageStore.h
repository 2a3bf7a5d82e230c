// PackageStore: the packages of one place (the project's module data, a preference file), at most one
// per code, read and written as one XML record whose root element carries the store's root name and
// holds each package as an element named by the package's tag.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Environment/PackageList.h"
#include "Foundation/String.h"

namespace tarnwick {

class DataBufferIn;
class DataBufferOut;
class Package;

// Owns its packages. Not copyable. Filing a package under a code that is taken deletes the package it
// replaces, so a pointer from find() lasts until its code is filed again, removed, reset or read.
//
// The notify flag of addPackage and adoptPackage asks for the package's code to be announced (the add-on
// publishes an event for it); the store hands the code to the notifier its owner set, and does nothing
// for the flag without one.
class PackageStore : public PackageList {
public:
    using Notifier = std::function<void(std::uint32_t code)>;

    // The flag is kept for the owner (the project's store is made with 1); the store does not read it.
    PackageStore(const String& rootName, bool flag);
    ~PackageStore();

    const String& getRootName() const { return rootName_; }
    bool getFlag() const { return flag_; }
    void setNotifier(Notifier notifier) { notifier_ = std::move(notifier); }

    // Files a copy of the package under its code. Filing the very package that is already filed changes
    // nothing (a copy of it would replace it and dangle the caller's reference). Gives the filed package.
    Package& addPackage(const Package& package, bool notify);
    // Files the package itself under its code, taking ownership. Adopting the package that is already
    // filed changes nothing (deleting "the one it replaces" would delete it). Null is refused: null back.
    Package* adoptPackage(std::unique_ptr<Package> package, bool notify);
    std::unique_ptr<Package> removePackage(std::uint32_t code);   // null when none has the code
    void getTypes(std::vector<std::uint32_t>& codes) const;       // appends every code, ascending
    void clear();   // deletes every package, and the kept elements of unknown ones
    // Replaces each package by a package of its kind at its defaults (Package::makeEmpty); with skipKept,
    // packages whose isKeptOnReset answers true are left as they are. Kept unknown elements are dropped.
    void resetPackages(bool skipKept);

    // Reads the store's XML: each element naming a filed package's tag is read into a fresh package of
    // that kind at its defaults; elements of packages the store does not hold (another add-on's, a newer
    // version's) are kept as they stand, to be written back. Only when the whole text reads without error
    // do the packages read replace the filed ones and the kept elements; false otherwise, and the store is
    // unchanged. Filed packages the text lacks keep their values.
    bool read(DataBufferIn& in);
    // Writes the root element with every package (in code order) under its tag, then the kept elements of
    // unknown packages as they were read. False when a package's text cannot be written or the output fails.
    bool write(DataBufferOut& out);
    std::size_t getUnknownCount() const { return unknown_.size(); }   // elements kept from the last read

    // Where and why the last read failed (the XML reader's line, column and short text); zeros and an
    // empty text after a read that succeeded.
    struct ReadError {
        std::size_t line = 0;
        std::size_t column = 0;
        std::string text;
    };
    const ReadError& getReadError() const { return readError_; }

private:
    void announce(std::uint32_t code, bool notify) const;

    String rootName_;
    bool flag_;
    Notifier notifier_;
    std::vector<std::string> unknown_;   // the text of each unknown package's element, from '<' to its end
    ReadError readError_;
};

}   // namespace tarnwick
