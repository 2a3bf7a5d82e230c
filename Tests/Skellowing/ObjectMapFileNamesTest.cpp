// The table's file name is the one a folder of the framework would give the same name, or none.
#include <unistd.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include <HostResult.h>

#include "Foundation/DataFile.h"
#include "Foundation/Directory.h"
#include "Skellowing/ObjectMapFileNames.h"

namespace {

using tarnwick::String;

TEST(ObjectMapFileNames, NameTheTableAsTheFrameworkNamesAFileOrNotAtAll) {
    const std::filesystem::path scratch =
        std::filesystem::temp_directory_path() / ("skellow-names-" + std::to_string(::getpid()));
    std::filesystem::remove_all(scratch);
    const tarnwick::Directory folder(scratch, /*create=*/true);
    ASSERT_TRUE(folder.exists());
    for (const char* name : {"ObjectMap", "ObjectMap...", "Object.Map.", ".hidden", "", ".", "..", "..."}) {
        SCOPED_TRACE(std::string("\"") + name + "\"");
        host::Result error = host::kNoError;
        const auto file =
            folder.createFile(String(name), tarnwick::DataFile::kReadWrite, error, String("xml"),
                              /*fileType=*/0, /*creator=*/0);
        const String fileName = skellow::withExtension(String(name));
        if (!file) {
            EXPECT_EQ(error, host::kErrBadName);
            EXPECT_TRUE(fileName.isEmpty()) << fileName.getView();
        } else {
            EXPECT_EQ(fileName, file->getName());
        }
    }
    std::filesystem::remove_all(scratch);
}

}   // namespace
