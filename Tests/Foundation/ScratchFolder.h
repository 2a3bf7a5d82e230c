// ScratchFolder: a fresh temporary folder that is also the host's home for the length of a test;
// HostMemoryScope: fails the test when host memory blocks made inside it outlive it; FileOperationWatch: a
// watcher that answers for the host's file operations for the length of a scope.
#pragma once

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include <gtest/gtest.h>
#include <unistd.h>

#include <HostFiles.h>
#include <HostMemory.h>

class ScratchFolder {
public:
    ScratchFolder() {
        static std::atomic<int> counter{0};
        path_ = std::filesystem::temp_directory_path() /
                ("tarnwick-io-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_ / "home");
        host::setHomeDirectory((path_ / "home").string());
    }
    ~ScratchFolder() {
        host::clearFileDialogAnswers();
        host::setHomeDirectory("");   // back to the default home, which later tests expect
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // Writes bytes to a file below the folder and gives its path.
    std::filesystem::path write(const std::string& name, std::string_view bytes) const {
        const std::filesystem::path file = path_ / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file;
    }

    static std::string contents(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path path_;
};

class HostMemoryScope {
public:
    HostMemoryScope() : before_(host::memoryStats()) {}
    ~HostMemoryScope() {
        host::failAllocation(0);
        host::failEveryAllocation(false);
        const host::MemoryStats after = host::memoryStats();
        EXPECT_EQ(after.livePtrs, before_.livePtrs) << "host pointer blocks leaked";
        EXPECT_EQ(after.liveHandles, before_.liveHandles) << "host handles leaked";
        EXPECT_EQ(after.violations, before_.violations) << "disposed, foreign or unknown blocks were used";
    }

private:
    host::MemoryStats before_;
};

class FileOperationWatch {
public:
    using Watcher = std::function<int(host::FileOperation operation, const std::string& path)>;
    explicit FileOperationWatch(Watcher watcher) { host::watchFileOperations(std::move(watcher)); }
    ~FileOperationWatch() { host::watchFileOperations(nullptr); }
    FileOperationWatch(const FileOperationWatch&) = delete;
    FileOperationWatch& operator=(const FileOperationWatch&) = delete;
};
