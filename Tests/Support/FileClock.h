// The file system's clock of changes, which moves in ticks (of a few milliseconds, or whole seconds).
#pragma once

#include <filesystem>

// Returns once a change made now gets another time than the last change of file: scratch, a free name,
// is written until its change time differs, then removed.
void pastTheLastChangeOf(const std::filesystem::path& file, const std::filesystem::path& scratch);
