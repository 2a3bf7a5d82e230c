// Guid: the framework's 128-bit identifier over the host's GUID record.
#pragma once

#include <HostGuid.h>

#include "Foundation/String.h"

namespace tarnwick {

// A value; copy freely. The null Guid (all 128 bits zero) is the invalid one. The text form is the host's:
// "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX", upper-case hex; braces around it are accepted when reading.
class Guid {
public:
    Guid() = default;   // null
    explicit Guid(const host::GuidRecord& record);
    explicit Guid(const String& text);   // null when the text is not a GUID (see fromString)
    virtual ~Guid();

    Guid(const Guid&) = default;
    Guid& operator=(const Guid&) = default;

    static Guid generate();   // a new random identifier, never null

    bool isValid() const;   // false for the null Guid
    void clear();           // makes it null

    // Reads the text form. False, and the Guid made null, when the text is not a GUID; the text of the
    // null Guid itself reads as true.
    bool fromString(const String& text);
    String toString() const;
    void writeTo(String& text) const;   // replaces the text with toString()

    const host::GuidRecord& getRecord() const { return record_; }
    host::GuidRecord& getRecord() { return record_; }   // for host calls that fill it in

    bool operator<(const Guid& other) const;    // the host's GUID order
    bool operator==(const Guid& other) const;   // byte-wise
    bool operator!=(const Guid& other) const { return !(*this == other); }

private:
    host::GuidRecord record_{};
};

}   // namespace tarnwick
