// The command-line host running the interface test add-on's "Name Request" command: what it prints of the
// dialog, and how a script that cannot be played ends the run.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct HostRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string quoted(const std::string& text) { return "'" + text + "'"; }

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class CommandLineDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("tarnwick-cli-dialog-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        std::ofstream(folder_ / "p.json") << R"({"name": "Test", "suspendGroups": false})";
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    HostRun nameRequest(const std::string& script, const std::string& item = "Name Request") {
        std::ofstream(folder_ / "answers.json") << script;
        std::string command = quoted(SKELLOW_HOST_PATH);
        for (const std::string& argument :
             {std::string("run"), (folder_ / "p.json").string(), std::string("--command"), item,
              std::string("--answers"), (folder_ / "answers.json").string(), std::string("--out"), out(),
              std::string("--module"), std::string(INTERFACE_TEST_ADDON_PATH), std::string("--home"),
              (folder_ / "home").string()})
            command += " " + quoted(argument);
        command +=
            " >" + quoted((folder_ / "stdout").string()) + " 2>" + quoted((folder_ / "stderr").string());
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(folder_ / "stdout"),
                readFile(folder_ / "stderr")};
    }
    std::string out() const { return (folder_ / "out.json").string(); }

    std::filesystem::path folder_;
};

}   // namespace

TEST_F(CommandLineDialogTest, ShowsEachDialogAsItOpensAndEachActionPlayed) {
    const HostRun run =
        nameRequest(R"([{"do": "setText", "item": 4, "text": "Kitchen"}, {"do": "click", "item": 1}])");
    EXPECT_EQ(run.status, 0) << run.err;
    for (const char* line :
         {"Dialog 32600 \"New Name Entry\" opens (320 x 104)\n", "  3 text \"Please specify a name\"\n",
          "  4 edit \"First\"\n", "  > setText item 4 \"Kitchen\"\n", "  > click item 1\n",
          "dialog 32600 \"New Name Entry\" closes (OK)\n"})
        EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
    EXPECT_TRUE(std::filesystem::exists(out()));
}

TEST_F(CommandLineDialogTest, StopsWithTwoAndSavesNothingWhenAnActionCannotBePlayed) {
    const HostRun run = nameRequest(R"([{"do": "click", "item": 9}])");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(
        run.err.find("skellow-host: script: click item 9 in dialog 32600 \"New Name Entry\": there is no "
                     "item 9; the project was not saved, nor anything else\n"),
        std::string::npos)
        << run.err;
    EXPECT_FALSE(std::filesystem::exists(out()));
}

TEST_F(CommandLineDialogTest, FailsWithOneAndSaysSoWhenScriptedAnswersWereNeverUsed) {
    const HostRun run = nameRequest(
        R"([{"do": "click", "item": 1}, {"do": "answerAlert", "button": 2}, {"do": "fileDialog", "cancel": true}])");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("skellow-host: script: never played: answerAlert 2\n"), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("skellow-host: script: never played: fileDialog cancel\n"), std::string::npos)
        << run.err;
}

TEST_F(CommandLineDialogTest, FailsWithOneWhenAnErrorEndsADialogOrComesAsTheProjectIsSaved) {
    // OK fails: the framework says so and closes the dialog as cancelled, with nothing done.
    HostRun run = nameRequest("[]", "Failing OK");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("dialog 32621 \"Modal\" closes (cancelled)\n"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("skellow-host: \"Failing OK\" showed an error in a dialog, which then closed "
                           "before the user did anything more\n"),
              std::string::npos)
        << run.err;
    // An error in the pre-save notification is printed and counted.
    run = nameRequest("[]", "Error At Save");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("] not stored\n"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("skellow-host: an add-on showed an error as the project was saved or closed\n"),
              std::string::npos)
        << run.err;
}

TEST_F(CommandLineDialogTest, StopsWithTwoWhenAnAlertHasNoButtonTheScriptPresses) {
    const HostRun run = nameRequest(R"([{"do": "answerAlert", "button": 3}])", "Ask");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("skellow-host: script: answerAlert 3: the alert \"Go on?\" has no such button; "
                           "the project was not saved"),
              std::string::npos)
        << run.err;
    EXPECT_FALSE(std::filesystem::exists(out()));
}
