// A POSIX access list that tests give a file: its owner and the user nobody may read and write, its
// group and others only read. The mode's group bits are then its mask, read and write: wider than the
// group may do, which is what a copy that took the mode alone would give away.
#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>

#include <sys/xattr.h>

namespace testaccess {

struct Entry {
    std::uint16_t tag, perm;
    std::uint32_t id;
};
struct List {
    std::uint32_t version;
    Entry entries[5];
};

inline constexpr const char* kAttribute = "system.posix_acl_access";
inline constexpr List kShared{
    2, {{0x01, 6, ~0u}, {0x02, 6, 65534}, {0x04, 4, ~0u}, {0x10, 6, ~0u}, {0x20, 4, ~0u}}};

// False when the file system keeps no access lists (the test then has nothing to show).
inline bool give(const std::filesystem::path& file) {
    return ::setxattr(file.c_str(), kAttribute, &kShared, sizeof kShared, 0) == 0;
}

// Whether the file carries exactly that list.
inline bool has(const std::filesystem::path& file) {
    List found{};
    return ::getxattr(file.c_str(), kAttribute, &found, sizeof found) == static_cast<ssize_t>(sizeof found) &&
           std::memcmp(&found, &kShared, sizeof found) == 0;
}

}   // namespace testaccess
