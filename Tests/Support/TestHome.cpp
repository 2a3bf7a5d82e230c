// Every test program runs with a host home of its own: $SKELLOW_HOME names a temporary folder made
// when the tests start and removed when they end. Fixtures that set no home, and the skellow-host
// programs that tests start, then make nothing in the home directory of whoever runs the tests.
#include <stdlib.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace {

class TemporaryHome : public ::testing::Environment {
public:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "skellow-test-home-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr) << "no temporary home can be made";
        path_ = pattern;
        setenv("SKELLOW_HOME", path_.c_str(), 1);
    }
    void TearDown() override {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }

private:
    std::string path_;
};

// GoogleTest owns the environment.
::testing::Environment* const registered = ::testing::AddGlobalTestEnvironment(new TemporaryHome);

}   // namespace
