// The command-line host, run as a program: exit status, messages and what it writes.
#include <sys/wait.h>

#include <cstdlib>

#include "Host/HostTestSupport.h"

namespace {

struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string quoted(const std::string& word) {
    std::string text = "'";
    for (char c : word) text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return text + "'";
}

ProgramRun skellowHost(const HostScratch& scratch, const std::vector<std::string>& arguments) {
    std::string command = quoted(SKELLOW_HOST_PATH);
    for (const auto& argument : arguments) command += " " + quoted(argument);
    command += " >" + quoted(scratch.file("stdout")) + " 2>" + quoted(scratch.file("stderr"));
    const int raw = std::system(command.c_str());
    ProgramRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = readFile(scratch.file("stdout"));
    run.err = readFile(scratch.file("stderr"));
    return run;
}

constexpr const char* kProject = R"({"name": "Test", "suspendGroups": false})";

TEST(SkellowHost, ExitsWithTwoOnBadArgumentsOrUnreadableInput) {
    HostScratch scratch;
    const std::string project = scratch.write("p.json", kProject);
    const std::string broken = scratch.write("broken.json", "{");
    const std::string badScript = scratch.write("answers.json", R"([{"do": "fly"}])");
    const std::string out = scratch.file("out.json");
    const std::string home = scratch.file("home");
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    const Case cases[] = {
        {{}, "skellow-host: no command given"},
        {{"jump"}, "skellow-host: unknown command \"jump\""},
        {{"run", "--command", "X"}, "skellow-host: run needs a project file"},
        {{"run", project}, "skellow-host: run needs --command \"ITEM TEXT\""},
        {{"run", project, "--command"}, "skellow-host: --command needs a value"},
        {{"menus", "--out", out}, "skellow-host: unknown option --out for menus"},
        {{"run", project, "a.json", "--command", "X"}, "skellow-host: unexpected argument \"a.json\""},
        {{"run", scratch.file("absent.json"), "--command", "X", "--out", out, "--home", home},
         "skellow-host: " + scratch.file("absent.json") + ": cannot be read"},
        {{"run", broken, "--command", "X", "--out", out, "--module", RAW_ADDON_PATH},
         "skellow-host: " + broken + ": not valid JSON"},
        {{"run", project, "--command", "X", "--answers", badScript, "--out", out, "--module", RAW_ADDON_PATH},
         "skellow-host: " + badScript + ": action 1 unknown action \"fly\""},
        {{"run", project, "--command", "Nothing Like It", "--out", out, "--module", RAW_ADDON_PATH},
         "skellow-host: no menu command \"Nothing Like It\"; the add-ons offer:"},
        {{"menus", "--module", NO_EXPORTS_PATH},
         std::string("skellow-host: ") + NO_EXPORTS_PATH + ": not an add-on module: it does not export"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const ProgramRun run = skellowHost(scratch, c.arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err.substr(0, c.message.size()), c.message);
        EXPECT_FALSE(std::filesystem::exists(out));   // nothing written
    }
}

TEST(SkellowHost, ListsTheMenusAndPromptsOfAModule) {
    HostScratch scratch;
    const ProgramRun run = skellowHost(scratch, {"menus", "--module", RAW_ADDON_PATH});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "Raw Test Addon\n"
              "  A module on the bare host protocol\n"
              "  used by the host's tests\n"
              "Menu \"Raw Tests\" (string list 200, position 13, flags 0): Tools for testing the host\n"
              "  1. Toggle Groups In Command - Toggles the suspend-groups mode in an undoable command\n"
              "  2. Ask Alert - Asks a question\n"
              "  3. Count Progress - Counts in the process window\n"
              "  4. Toggle Groups Outside\n");
}

TEST(SkellowHost, RunsACommandPrintsWhatTheUserSawAndWritesTheProject) {
    HostScratch scratch;
    const std::string project = scratch.write("p.json", kProject);
    const std::string out = scratch.file("out.json");
    const std::string cancel = scratch.write("cancel.json", R"([{"do": "cancelProgressAt", "step": 3}])");

    ProgramRun run = skellowHost(scratch, {"run", project, "--command", "Toggle Groups In Command", "--out",
                                           out, "--module", RAW_ADDON_PATH, "--home", scratch.file("home")});
    EXPECT_EQ(run.status, 0) << run.err;
    host::SimProject written;
    std::string error;
    ASSERT_TRUE(written.loadFile(out, error)) << error;
    EXPECT_TRUE(written.state.suspendGroups);

    // A command that ends in an error: status 1, the project is still written.
    std::filesystem::remove(out);
    run = skellowHost(scratch, {"run", project, "--command", "Toggle Groups Outside", "--out", out,
                                "--module", RAW_ADDON_PATH});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("ended with 0x81060390 (outside an undoable command)"), std::string::npos)
        << run.err;
    EXPECT_TRUE(std::filesystem::exists(out));

    run = skellowHost(scratch, {"run", project, "--command", "Count Progress", "--answers", cancel,
                                "--module", RAW_ADDON_PATH});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "Progress: Counting\n  Phase (5)\n  cancelled\n");

    run = skellowHost(scratch, {"run", project, "--command", "Ask Alert", "--module", RAW_ADDON_PATH});
    EXPECT_EQ(run.out, "[Raw] Go on?\n  -> Yes\n");
}

}   // namespace
