// LegacyStyleFile: imports the styles of the binary style file of earlier releases: groups of styles
// (groups nest, a top-level group's name is the style type of all inside it), each style a name, a
// Guid and named values (int32, real, string), single or in arrays.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "Foundation/String.h"

namespace tarnwick {

class DataBufferIn;
class Guid;
class LegacyBinaryIn;
class Setting;
class UserRecord;

// Hands each style to the target as soon as it was read, so the styles before a failure or a cancel
// stay with the target: the import is not undone (a caller that wants all or nothing reads into a
// copy). A truncated, corrupt or hostile file, or a time the host cannot convert, gives false and a
// message naming the byte where it broke. Styles of an unknown type, records that fail their validity
// test and keys that are no Guid are dropped without a message.
class LegacyStyleFile {
public:
    // Makes the records the file's styles are read into, and takes each once it was read.
    class Target {
    public:
        virtual ~Target() = default;
        // A new record of the style type registered under typeKey, named; null for an unknown type.
        virtual std::shared_ptr<UserRecord> makeRecord(const String& typeKey, const String& name) = 0;
        virtual void put(const Guid& key, const std::shared_ptr<UserRecord>& record) = 0;
        // A value under a name that is no legacy name: by default straight into the record's parameter
        // of that name; a style database places it through the style template that owns the name.
        virtual void storeValue(UserRecord& record, const String& name, const Setting& value,
                                std::uint32_t index);
    };

    enum ValueKind : std::uint32_t {   // LegacyValueKind
        kInt32 = 0,
        kReal = 1,
        kString = 2,
    };
    static constexpr int kMaxGroupDepth = 64;   // nesting deeper than any release wrote: a corrupt file

    // The current name of a parameter that earlier releases named otherwise; other names as they are.
    static String legacyParameterName(const String& name);

    // False when the file cannot be read (getError says why and where) or the user cancelled in the
    // progress window, shown with showProgress once the header was read (a cancel skips the groups not
    // yet read).
    bool read(DataBufferIn& in, Target& target, bool showProgress = false);
    const String& getError() const { return error_; }
    std::size_t getImportedCount() const { return imported_; }   // records handed to the target

private:
    bool fail(const LegacyBinaryIn& in, const char* what);
    bool readGroup(LegacyBinaryIn& in, const String& inheritedKey, int depth);
    bool readRecord(LegacyBinaryIn& in, const String& typeKey);
    bool readSetting(bool array, LegacyBinaryIn& in, const std::shared_ptr<UserRecord>& record);
    std::unique_ptr<Setting> readValue(LegacyBinaryIn& in, std::uint32_t kind);

    Target* target_ = nullptr;
    std::int32_t version_ = 0;
    String error_;
    std::size_t imported_ = 0;
};

}   // namespace tarnwick
