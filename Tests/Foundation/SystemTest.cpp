#include "Foundation/System.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include <unistd.h>

#include <HostFiles.h>
#include <gtest/gtest.h>

#include "Foundation/Directory.h"
#include "Foundation/String.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

// A fresh host home directory for one test; the previous home comes back afterwards.
class HomeScope {
public:
    explicit HomeScope(const std::string& name)
        : previous_(host::homeDirectory()),
          home_(fs::temp_directory_path() / ("values-system-" + std::to_string(::getpid()) + "-" + name)) {
        fs::remove_all(home_);
        fs::create_directories(home_);
        host::setHomeDirectory(home_.string());
    }
    ~HomeScope() {
        host::setHomeDirectory(previous_);
        std::error_code ignored;
        fs::remove_all(home_, ignored);
    }
    const fs::path& path() const { return home_; }

private:
    std::string previous_;
    fs::path home_;
};

TEST(System, HostCodeIsTheTwoLettersWW) {
    EXPECT_EQ(System::getHostCode(), 22359);
    EXPECT_EQ(System::getHostCode() >> 8, 'W');
    EXPECT_EQ(System::getHostCode() & 0xFF, 'W');
}

TEST(System, SpecialFolderFiveIsTheApplicationDataFolderUnderTheHome) {
    const HomeScope home("folder");
    const std::unique_ptr<Directory> folder = System::getSpecialFolder5();
    ASSERT_NE(folder, nullptr);
    EXPECT_TRUE(folder->exists());
    EXPECT_EQ(folder->getName(), "Application Data");
    EXPECT_EQ(folder->getLocation().parent_path(), home.path().lexically_normal());
}

TEST(System, SpecialFolderFiveIsNullWhenTheHostHasNone) {
    const HomeScope home("blocked");
    std::ofstream(home.path() / "Application Data") << "a file where the folder should be";
    EXPECT_EQ(System::getSpecialFolder5(), nullptr);
}

TEST(System, ReadsTheMousePosition) {
    const host::ScreenPosition previous = host::mousePosition();
    for (const host::ScreenPosition position : {host::ScreenPosition{120, -40}, host::ScreenPosition{0, 0}}) {
        host::setMousePosition(position);
        EXPECT_EQ(System::getMousePosition().x, position.x);
        EXPECT_EQ(System::getMousePosition().y, position.y);
    }
    host::setMousePosition(previous);
}

TEST(System, FindsAWindowOnlyByItsExactTitle) {
    const String title("Object Mapping Table \xE2\x80\x93 values");   // with an en dash
    EXPECT_EQ(System::findWindowByTitle(title), 0u);
    const host::WindowId window = host::openWindow(std::string(title.getView()));
    EXPECT_EQ(System::findWindowByTitle(title), window);
    EXPECT_EQ(System::findWindowByTitle(title.toUpper()), 0u);
    EXPECT_EQ(System::findWindowByTitle(title.substring(0, 20)), 0u);
    EXPECT_EQ(System::findWindowByTitle(String()), 0u);
    host::closeWindow(window);
    EXPECT_EQ(System::findWindowByTitle(title), 0u);
}

}   // namespace
}   // namespace tarnwick
