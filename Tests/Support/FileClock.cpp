#include "Support/FileClock.h"

#include <sys/stat.h>

#include <fstream>

#include <gtest/gtest.h>

void pastTheLastChangeOf(const std::filesystem::path& file, const std::filesystem::path& scratch) {
    struct stat last {};
    struct stat now {};
    ASSERT_EQ(::stat(file.c_str(), &last), 0);
    do {
        std::ofstream(scratch, std::ios::trunc) << ' ';
        ASSERT_EQ(::stat(scratch.c_str(), &now), 0);
    } while (now.st_ctim.tv_sec == last.st_ctim.tv_sec && now.st_ctim.tv_nsec == last.st_ctim.tv_nsec);
    std::filesystem::remove(scratch);
}
