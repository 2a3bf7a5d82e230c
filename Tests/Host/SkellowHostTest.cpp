// The command-line host, run as a program: exit status, messages and what it writes.
#include <elf.h>
#include <link.h>
#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <sstream>
#include <thread>

#include <AddonModule.h>
#include <FourCC.h>
#include <HostRefusals.h>
#include <HostText.h>

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

// Runs the program in `folder` (default: this test's working folder).
ProgramRun skellowHost(const HostScratch& scratch, const std::vector<std::string>& arguments,
                       const std::string& folder = "", const std::string& program = SKELLOW_HOST_PATH) {
    std::string command = folder.empty() ? "" : "cd " + quoted(folder) + " && ";
    command += quoted(program);
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
    const std::string folder = scratch.file("folder");
    std::filesystem::create_directories(folder);
    const std::string pipe = scratch.file("pipe");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string strayKey = scratch.write("stray.json", R"({"actions": [], "answers": []})");
    const std::string missingFolderOut = scratch.file("missing/out.json");
    const std::vector<std::string> raw = {"--module", RAW_ADDON_PATH, "--home", home};
    const auto runWith = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.end(), raw.begin(), raw.end());
        return arguments;
    };
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
        {{"run", project, "--command", "Nothing Like It", "--out", out, "--module", RAW_ADDON_PATH, "--home",
          home},
         "skellow-host: no menu command \"Nothing Like It\"; the add-ons offer:"},
        {{"menus", "--module", NO_EXPORTS_PATH},
         std::string("skellow-host: ") + NO_EXPORTS_PATH + ": not an add-on module: it does not export"},
        // Inputs that are no regular files: refused at once, neither read for ever nor waited on.
        {runWith({"run", folder, "--command", "X", "--out", out}),
         "skellow-host: " + folder + ": is a folder, not a file"},
        {runWith({"run", "/dev/zero", "--command", "X", "--out", out}),
         "skellow-host: /dev/zero: is not a regular file"},
        {runWith({"run", pipe, "--command", "X", "--out", out}),
         "skellow-host: " + pipe + ": is not a regular file"},
        {runWith({"run", project, "--command", "X", "--answers", folder, "--out", out}),
         "skellow-host: " + folder + ": is a folder, not a file"},
        {runWith({"run", project, "--command", "X", "--answers", strayKey, "--out", out}),
         "skellow-host: " + strayKey + ": unknown key \"answers\""},
        // Where the result cannot go, and modules that are not there.
        {runWith({"run", project, "--command", "Ask Alert", "--out", missingFolderOut}),
         "skellow-host: " + missingFolderOut + ": its folder " + scratch.file("missing") + " does not exist"},
        {runWith({"run", project, "--command", "X", "--out", folder}),
         "skellow-host: " + folder + ": is a folder, not a file"},
        {{"run", project, "--command", "X", "--out", out, "--module", folder, "--home", home},
         "skellow-host: " + folder + ": is a folder, not a module file"},
        {{"run", project, "--command", "X", "--out", out, "--module", scratch.file("none.so"), "--home",
          home},
         "skellow-host: " + scratch.file("none.so") + ": no such module file"},
        {{"menus", "--module", folder}, "skellow-host: " + folder + ": is a folder, not a module file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const ProgramRun run = skellowHost(scratch, c.arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err.substr(0, c.message.size()), c.message);
        EXPECT_FALSE(std::filesystem::exists(out));   // nothing written
        EXPECT_FALSE(std::filesystem::exists(missingFolderOut));
        EXPECT_FALSE(std::filesystem::exists(home));   // nor made
    }
    // The module built beside the program, when the look at it fails otherwise than by finding nothing.
    const std::filesystem::path unreachable = std::filesystem::path(UNREACHABLE_DEFAULT_MODULE).parent_path();
    std::filesystem::remove(unreachable);
    std::filesystem::create_directory_symlink(unreachable.filename(), unreachable);
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"menus"}, std::vector<std::string>{"run", project, "--command", "X"}}) {
        SCOPED_TRACE(arguments[0]);
        const ProgramRun run = skellowHost(scratch, arguments, "", UNREACHABLE_DEFAULT_HOST_PATH);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, std::string("skellow-host: ") + UNREACHABLE_DEFAULT_MODULE +
                               ": the module built beside this program cannot be looked at: " +
                               std::strerror(ELOOP) + "\n");
    }
}

// A message quotes outside input by its first characters only, shows its control characters escaped,
// and says that an argument is empty.
TEST(SkellowHost, QuotesOutsideInputByItsStartWithControlsShownAndNamesAnEmptyArgument) {
    HostScratch scratch;
    const std::string ellipsis = "\xE2\x80\xA6";
    const std::string number = scratch.write("number.json", "{\"size\": " + std::string(2000000, '9') + "}");
    const std::string key = scratch.write("key.json", "{\"" + std::string(1 << 20, 'k') + "\": 1}");
    const std::string project = scratch.write("p.json", kProject);
    const std::string home = scratch.file("home");
    const std::string stray(100000, '\x80');
    std::string longPath = scratch.file("");
    for (int i = 0; i < 60000; ++i) longPath += "./";
    longPath += "x";
    const std::string longPathShown =
        longPath.substr(0, 60) + ellipsis + " (" + std::to_string(longPath.size()) + " characters)";
    // Texts that would set the terminal's title, clear its screen or break the line.
    const std::string controlKey =
        scratch.write("control.json", R"({"name": "T", "\u001b]0;pwned\u0007\n\u007f": 1})");
    const std::string controlPath = scratch.file("a\x1b[2J\tb.json");
    // And a C1 control (CSI, U+009B), and the byte that is CSI to an 8-bit terminal, which is no UTF-8.
    const std::string strayName = scratch.write("stray.json", "{\"name\": \"Exa\x9bJ\"}");
    std::string strayShown;
    for (int i = 0; i < 60; ++i) strayShown += "\\x80";
    const struct {
        std::vector<std::string> arguments;
        std::string err;
    } cases[] = {
        {{"run", number, "--command", "X", "--home", home},
         "skellow-host: " + number + ": not valid JSON at line 1, column 2000009: number overflow parsing '" +
             std::string(60, '9') + ellipsis + "' (2000000 characters)\n"},
        {{"run", key, "--command", "X", "--home", home},
         "skellow-host: " + key + ": project: unknown key \"" + std::string(60, 'k') + ellipsis +
             "\" (1048576 characters)\n"},
        {{"run", project, "--command", std::string(100000, 'c'), "--module", RAW_ADDON_PATH, "--home", home},
         "skellow-host: no menu command \"" + std::string(60, 'c') + ellipsis +
             "\" (100000 characters); the add-ons offer:\n"},
        // Bytes that are not UTF-8 count as the characters they read as, and each is shown by its value.
        {{stray, "--module", RAW_ADDON_PATH},
         "skellow-host: unknown command \"" + strayShown + ellipsis + "\" (100000 characters)\n"},
        {{"menus", "--" + stray, "x"},
         "skellow-host: unknown option --" + strayShown.substr(8) + ellipsis +
             " (100002 characters) for menus\n"},
        // Paths as well; none of these can be opened, its name being longer than the system takes.
        {{"run", longPath, "--command", "X", "--home", home},
         "skellow-host: " + longPathShown + ": cannot be read: File name too long\n"},
        {{"run", project, "--command", "X", "--answers", longPath, "--home", home},
         "skellow-host: " + longPathShown + ": cannot be read: File name too long\n"},
        {{"run", project, "--command", "X", "--out", longPath, "--home", home},
         "skellow-host: " + longPathShown + ": cannot be looked at: File name too long\n"},
        {{"menus", "--module", longPath}, "skellow-host: " + longPathShown + ": no such module file\n"},
        {{"run", project, "--command", "Ask Alert", "--module", RAW_ADDON_PATH, "--home", longPath},
         "skellow-host: " + longPathShown + ": cannot be used as the host's home directory\n"},
        {{"run", controlKey, "--command", "X", "--home", home},
         "skellow-host: " + controlKey + ": project: unknown key \"\\x1b]0;pwned\\x07\\x0a\\x7f\"\n"},
        {{"run", project, "--command", "Skellow\x1b[31mRed\r\xc2\x9bJ\x9b\xef\xbf\xbd", "--module",
          RAW_ADDON_PATH, "--home", home},
         "skellow-host: no menu command \"Skellow\\x1b[31mRed\\x0d\\u009bJ\\x9b\xef\xbf\xbd\"; the add-ons "
         "offer:\n"},
        {{"run", strayName, "--command", "X", "--home", home},
         "skellow-host: " + strayName +
             ": not valid JSON at line 1, column 14: syntax error while parsing value - invalid string: "
             "ill-formed UTF-8 byte; last read: '\"Exa\\x9b'\n"},
        {{"run", controlPath, "--command", "X", "--home", home},
         "skellow-host: " + scratch.file("a\\x1b[2J\\x09b.json") +
             ": cannot be read: No such file or directory\n"},
        {{"run", project, "--command", "X", "--out", ""}, "skellow-host: --out is empty\n"},
        {{"run", project, "--command", "X", "--home", ""}, "skellow-host: --home is empty\n"},
        {{"run", "", "--command", "X"}, "skellow-host: the project file's name is empty\n"},
        {{"", "--module", RAW_ADDON_PATH}, "skellow-host: the command (menus or run) is empty\n"},
        {{"run", project, "", "--command", "X"}, "skellow-host: unexpected empty argument\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.err.substr(0, 100));
        const ProgramRun run = skellowHost(scratch, c.arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err.substr(0, c.err.size()), c.err);
        EXPECT_LT(run.err.size(), 1000u);
        EXPECT_FALSE(std::filesystem::exists(home));
    }
    // A name in the dialogs' transcript: one line, its controls shown, nothing raw on the way out.
    const std::string examples = std::string(TEST_SOURCE_DIR) + "/../../examples";
    std::string named = readFile(examples + "/project.json");
    named.replace(named.find("Office Chair"), 12, "Office\\u001b[2J\\n\\u009bChair");
    const ProgramRun run = skellowHost(scratch, {"run", scratch.write("named.json", named), "--command",
                                                 "Skellow From IFC", "--home", home});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\n      2  Office\\x1b[2J\\x0a\\u009bChair | "), std::string::npos) << run.out;
    // An answer that nothing asked for, named as the script gave it.
    const ProgramRun unasked =
        skellowHost(scratch, {"run", project, "--command", "Toggle Groups In Command", "--answers",
                              scratch.write("file.json", R"([{"do": "fileDialog", "path": "x\u001b[2J"}])"),
                              "--module", RAW_ADDON_PATH, "--home", home});
    EXPECT_EQ(unasked.status, 1);
    EXPECT_EQ(unasked.err,
              "skellow-host: script: never played: fileDialog " + scratch.file("x\\x1b[2J") + "\n");
    for (const std::string& printed : {run.out, run.err}) {
        EXPECT_EQ(std::count_if(printed.begin(), printed.end(),
                                [](char c) { return (c >= 0 && c < 0x20 && c != '\n') || c == 0x7F; }),
                  0)
            << printed;
        EXPECT_EQ(printed.find("\xc2\x9b"), std::string::npos) << printed;
        EXPECT_EQ(host::utf16ToUtf8(host::utf8ToUtf16(printed)), printed);   // UTF-8 throughout
    }
}

TEST(SkellowHost, RefusesInputNestedDeeperThanItReadsOrCutByANulAndSaysWhere) {
    HostScratch scratch;
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    // Under a key with one following: the shape that overflowed the stack of the project's reader.
    const std::string project = scratch.write("deep.json", R"({"name": )" + deep + R"(, "version": 1})");
    const std::string script = scratch.write("deep-answers.json", "\n  " + deep);
    const std::string plain = scratch.write("p.json", kProject);
    const std::string cut =
        scratch.write("cut.json", std::string(kProject) + std::string(1, '\0') + "garbage");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"run", project, "--command", "X"},
         project + ": nested deeper than 512 levels at line 1, column 521"},
        {{"run", plain, "--command", "X", "--answers", script},
         script + ": nested deeper than 512 levels at line 2, column 515"},
        {{"run", cut, "--command", "X"},
         cut + ": not valid JSON at line 1, column 41: a NUL byte outside a string"},
    };
    for (const auto& [arguments, message] : cases) {
        SCOPED_TRACE(message);
        std::vector<std::string> all = arguments;
        all.insert(all.end(), {"--module", RAW_ADDON_PATH, "--home", scratch.file("home")});
        const ProgramRun run = skellowHost(scratch, all);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err, "skellow-host: " + message + "\n");
    }
}

TEST(SkellowHost, WritesTheProjectOnlyAsANewFileAndRefusesOtherTargetsBeforeRunning) {
    HostScratch scratch;
    const std::string project = scratch.write("p.json", kProject);
    const std::string victim = scratch.write("victim.txt", "keep me");
    const std::string out = scratch.file("out.json");
    std::filesystem::create_symlink(victim, out + ".partial");   // a link planted where a save might write
    const auto runTo = [&](const std::string& target) {
        return skellowHost(scratch, {"run", project, "--command", "Toggle Groups In Command", "--out", target,
                                     "--module", RAW_ADDON_PATH, "--home", scratch.file("home")});
    };
    ProgramRun run = runTo(out);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(victim), "keep me");
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(out)));
    std::size_t entries = 0;   // nothing left beside it but what the test made
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(scratch.file("")))
        ++entries;
    EXPECT_EQ(entries, 7u);   // p.json, victim.txt, the link, out.json, home, stdout, stderr

    const std::string pipe = scratch.file("pipe");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string link = scratch.file("link.json");
    std::filesystem::create_symlink(victim, link);
    const std::pair<std::string, std::string> refused[] = {
        {pipe, pipe + ": is not a regular file"},
        {link, link + ": is a link; name the file itself"},
        // A folder that passes a permission test but takes no file, even from root.
        {"/proc/self/out.json", "/proc/self/out.json: its folder /proc/self takes no new file"},
    };
    for (const auto& [target, message] : refused) {
        SCOPED_TRACE(target);
        run = runTo(target);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err.substr(0, message.size() + 14), "skellow-host: " + message);
        EXPECT_EQ(run.out, "") << "the command did not run";
    }
    struct stat status {};
    ASSERT_EQ(lstat(pipe.c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
}

TEST(SkellowHost, RefusesACutShortOrForeignModuleFileWithAMessage) {
    HostScratch scratch;
    const std::string whole = readFile(RAW_ADDON_PATH);
    const std::string cut = scratch.write("cut.so", whole.substr(0, whole.size() / 3));
    const std::string foreign = scratch.write("foreign.so", "#!/bin/sh\necho not a module\n");
    // The same module as if built for another machine: AArch64, or x86-64 where this is AArch64.
    ElfW(Ehdr) header;
    std::memcpy(&header, whole.data(), sizeof header);
    const bool onArm = header.e_machine == EM_AARCH64;
    header.e_machine = onArm ? EM_X86_64 : EM_AARCH64;
    std::string otherBytes = whole;
    std::memcpy(otherBytes.data(), &header, sizeof header);
    const std::string other = scratch.write("other.so", otherBytes);
    const std::pair<std::string, std::string> cases[] = {
        {cut,
         "is cut short: its section headers lie beyond its " + std::to_string(whole.size() / 3) + " bytes"},
        {foreign, "is not a module file: it has no ELF header"},
        {other, onArm ? "is a module for another machine: built for x86-64, this host runs AArch64"
                      : "is a module for another machine: built for AArch64, this host runs x86-64"}};
    for (const auto& [module, why] : cases) {
        for (const std::vector<std::string>& arguments :
             {std::vector<std::string>{"menus", "--module", module},
              std::vector<std::string>{"run", scratch.write("p.json", kProject), "--command", "X", "--module",
                                       module}}) {
            SCOPED_TRACE(arguments[0] + " " + module);
            const ProgramRun run = skellowHost(scratch, arguments);
            EXPECT_EQ(run.status, 2);
            EXPECT_EQ(run.err, "skellow-host: " + module + ": " + why + "\n");
        }
    }
}

// A pipe or a socket given as the module is refused before anything opens it (an open of a pipe waits
// for a writer), and a module whose loading never ends is given up.
TEST(SkellowHost, RefusesAModuleThatIsNoFileOrNeverEndsLoading) {
    HostScratch scratch;
    const std::string pipe = scratch.file("pipe.so");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string socketPath = scratch.file("socket.so");
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(socket, 0);
    ASSERT_EQ(bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    const std::string project = scratch.write("p.json", kProject);
    for (const std::string& module : {pipe, socketPath}) {
        for (const std::vector<std::string>& arguments :
             {std::vector<std::string>{"menus", "--module", module},
              std::vector<std::string>{"run", project, "--command", "X", "--module", module, "--home",
                                       scratch.file("home")}}) {
            SCOPED_TRACE(arguments[0] + " " + module);
            // Killed when it waits: a test that hangs tells nothing.
            std::string command = "timeout -s KILL 120 " + quoted(SKELLOW_HOST_PATH);
            for (const auto& argument : arguments) command += " " + quoted(argument);
            command += " 2>" + quoted(scratch.file("stderr"));
            const int raw = std::system(command.c_str());
            EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 2);
            EXPECT_EQ(readFile(scratch.file("stderr")),
                      "skellow-host: " + module + ": is not a regular file, so not a module file\n");
            EXPECT_FALSE(std::filesystem::exists(scratch.file("home")));
        }
    }
    ::close(socket);

    std::string error;
    EXPECT_FALSE(
        host::AddonModule::loadsApart(WAITS_WHEN_LOADED_PATH, error, std::chrono::milliseconds(100)));
    EXPECT_EQ(error, std::string(WAITS_WHEN_LOADED_PATH) +
                         ": loading it did not end within 0.1 seconds, so it is not taken");
}

// AddonModule::loadsApart of the module that waits when loaded, run by a process of its own in a process
// group of its own (a job): it exits 0 when the module is taken, 1 when not. The module's constructor,
// run by the trial's child, tells its process id and waits until the test releases it.
class GatedTrial {
public:
    explicit GatedTrial(std::chrono::milliseconds patience) {
        int told[2], released[2];
        if (pipe(told) != 0 || pipe(released) != 0) return;
        process_ = fork();
        if (process_ == 0) {
            setpgid(0, 0);
            ::close(told[0]);
            ::close(released[1]);
            const std::string gate = std::to_string(told[1]) + " " + std::to_string(released[0]);
            setenv("SKELLOW_TEST_LOAD_GATE", gate.c_str(), 1);
            std::string error;
            _exit(host::AddonModule::loadsApart(WAITS_WHEN_LOADED_PATH, error, patience) ? 0 : 1);
        }
        if (process_ > 0) setpgid(process_, process_);
        ::close(told[1]);
        told_ = told[0];
        release_ = released[1];
        kept_ = released[0];   // so that a release after the load ended raises no SIGPIPE
    }
    ~GatedTrial() {
        if (process_ <= 0) return;
        kill(-process_, SIGKILL);   // the job: the trial's child too, when it outlived its parent
        if (loader_ > 0) kill(loader_, SIGKILL);
        ended(true);
        ::close(told_);
        ::close(release_);
        ::close(kept_);
    }
    GatedTrial(const GatedTrial&) = delete;
    GatedTrial& operator=(const GatedTrial&) = delete;

    pid_t process() const { return process_; }
    // The trial's child, once the module's constructor runs in it; 0 when none told.
    pid_t loader() {
        if (read(told_, &loader_, sizeof loader_) != static_cast<ssize_t>(sizeof loader_)) loader_ = 0;
        return loader_;
    }
    void release() { EXPECT_EQ(write(release_, "x", 1), 1); }
    // The trial process's exit status, or 128 + the signal that ended it; -1 while it runs and !block.
    int ended(bool block) {
        int raw = 0;
        if (status_ < 0 && process_ > 0 && waitpid(process_, &raw, block ? 0 : WNOHANG) == process_)
            status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        return status_;
    }
    // Whether every process holding the told end has ended (the trial's, then its child) within time.
    bool toldClosedWithin(std::chrono::milliseconds time) {
        pollfd watch{told_, POLLIN, 0};
        char byte = 0;
        return poll(&watch, 1, static_cast<int>(time.count())) == 1 && read(told_, &byte, 1) == 0;
    }

private:
    pid_t process_ = -1;
    pid_t loader_ = 0;
    int told_ = -1;
    int release_ = -1;
    int kept_ = -1;
    int status_ = -1;
};

// The system call the process is blocked in; -1 while it runs (or when it cannot be known).
long blockedIn(pid_t process) {
    std::ifstream in("/proc/" + std::to_string(process) + "/syscall");
    std::string first;
    if (!(in >> first) || first == "running") return -1;
    return std::strtol(first.c_str(), nullptr, 10);
}

bool isPoll(long call) {
#ifdef SYS_poll
    if (call == SYS_poll) return true;
#endif
    return call == SYS_ppoll;
}

// The host waits on the trial load's end itself, not by looking at the child now and then. A job
// stopped (Ctrl-Z) during the load, for longer than the trial's patience, and then continued: the time
// stopped does not count, and the module is taken once its load ends.
TEST(SkellowHost, WaitsOnTheTrialLoadsEndCountingOnlyTheTimeTheHostRuns) {
    constexpr std::chrono::milliseconds patience(10000);   // far beyond what starting the load takes
    GatedTrial trial(patience);
    ASSERT_GT(trial.process(), 0);
    ASSERT_GT(trial.loader(), 0);
    // Where the system has no pidfd_open (before Linux 5.3) the host looks at the child after short pauses.
    if (const int own = static_cast<int>(syscall(SYS_pidfd_open, getpid(), 0)); own >= 0) {
        ::close(own);
        long call = -1;   // the waiting process is blocked between its short runs; find it there
        while (trial.ended(false) < 0 && (call = blockedIn(trial.process())) < 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_TRUE(isPoll(call)) << "blocked in system call " << call;
    }
    ASSERT_EQ(kill(-trial.process(), SIGSTOP), 0);
    int status = 0;
    ASSERT_EQ(waitpid(trial.process(), &status, WUNTRACED), trial.process());
    ASSERT_TRUE(WIFSTOPPED(status));
    std::this_thread::sleep_for(patience + std::chrono::milliseconds(500));   // all of the job stopped
    ASSERT_EQ(kill(-trial.process(), SIGCONT), 0);
    // A bound that counted the stop gives up at once; the load is let end only a little later, so that
    // it cannot be over before that. This wait is well within the patience left.
    for (int i = 0; i < 300 && trial.ended(false) < 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    trial.release();
    EXPECT_EQ(trial.ended(true), 0) << "the module was not taken";
}

// The host killed during the trial load: the trial's child does not load on for ever.
TEST(SkellowHost, EndsTheTrialLoadWhenTheHostIsKilled) {
    GatedTrial trial(std::chrono::minutes(10));
    ASSERT_GT(trial.process(), 0);
    ASSERT_GT(trial.loader(), 0);
    ASSERT_EQ(kill(trial.process(), SIGTERM), 0);
    EXPECT_EQ(trial.ended(true), 128 + SIGTERM);
    EXPECT_TRUE(trial.toldClosedWithin(std::chrono::seconds(20))) << "the trial's child still runs";
}

// The module's bytes with the dynamic section, or every relocation of its DT_RELA table, damaged.
enum class Damage { dynamicSection, relocations };
std::string damagedModule(std::string bytes, Damage damage) {
    const auto at = [&bytes](std::uint64_t offset, auto& value) {
        std::memcpy(&value, bytes.data() + offset, sizeof value);
    };
    ElfW(Ehdr) header;
    at(0, header);
    std::vector<ElfW(Phdr)> segments(header.e_phnum);
    for (std::size_t i = 0; i < segments.size(); ++i)
        at(header.e_phoff + i * sizeof(ElfW(Phdr)), segments[i]);
    const auto dynamic = std::find_if(segments.begin(), segments.end(), [](const ElfW(Phdr) & segment) {
        return segment.p_type == PT_DYNAMIC;
    });
    if (dynamic == segments.end()) return "";
    if (damage == Damage::dynamicSection) {
        std::memset(bytes.data() + dynamic->p_offset, 0xFF, dynamic->p_filesz);
        return bytes;
    }
    std::uint64_t table = 0, size = 0;
    for (std::uint64_t offset = dynamic->p_offset; offset < dynamic->p_offset + dynamic->p_filesz;
         offset += sizeof(ElfW(Dyn))) {
        ElfW(Dyn) entry;
        at(offset, entry);
        if (entry.d_tag == DT_RELA) table = entry.d_un.d_ptr;
        if (entry.d_tag == DT_RELASZ) size = entry.d_un.d_val;
    }
    for (const ElfW(Phdr) & segment : segments) {   // the table's address to its place in the file
        if (segment.p_type != PT_LOAD || table < segment.p_vaddr ||
            table >= segment.p_vaddr + segment.p_filesz)
            continue;
        for (std::uint64_t offset = 0; offset + sizeof(ElfW(Rela)) <= size; offset += sizeof(ElfW(Rela))) {
            ElfW(Rela) relocation;
            const std::uint64_t place = table - segment.p_vaddr + segment.p_offset + offset;
            at(place, relocation);
            relocation.r_offset = 0x7FFFFFFF0000;   // each one now writes far outside the module
            std::memcpy(bytes.data() + place, &relocation, sizeof relocation);
        }
        return size > 0 ? bytes : "";
    }
    return "";
}

TEST(SkellowHost, RefusesADamagedModuleOfFullLengthWithoutCrashingOrLeavingAFolder) {
    HostScratch scratch;
    const std::string whole = readFile(RAW_ADDON_PATH);
    const std::string badDynamic = damagedModule(whole, Damage::dynamicSection);
    const std::string badRelocations = damagedModule(whole, Damage::relocations);
    ASSERT_FALSE(badDynamic.empty());
    ASSERT_FALSE(badRelocations.empty()) << "the module has relocations to damage";
    const std::pair<std::string, std::string> cases[] = {
        {scratch.write("dynamic.so", badDynamic), "is damaged: its dynamic section has no end\n"},
        {scratch.write("relocations.so", badRelocations), "is damaged: loading it stops the process ("}};
    const std::string temporary = scratch.file("tmp");
    std::filesystem::create_directories(temporary);
    const char* const testTemporary = std::getenv("TMPDIR");
    const std::string kept = testTemporary ? testTemporary : "";
    ASSERT_EQ(setenv("TMPDIR", temporary.c_str(), 1), 0);   // where menus makes its home
    for (const auto& [module, why] : cases) {
        for (const std::vector<std::string>& arguments :
             {std::vector<std::string>{"menus", "--module", module},
              std::vector<std::string>{"run", scratch.write("p.json", kProject), "--command", "X", "--home",
                                       scratch.file("home"), "--module", module}}) {
            SCOPED_TRACE(arguments[0] + " " + module);
            const ProgramRun run = skellowHost(scratch, arguments);
            EXPECT_EQ(run.status, 2);
            EXPECT_EQ(run.err.rfind("skellow-host: " + module + ": " + why, 0), 0u) << run.err;
            EXPECT_TRUE(std::filesystem::is_empty(temporary));
            EXPECT_FALSE(std::filesystem::exists(scratch.file("home")));
        }
    }
    if (testTemporary)
        setenv("TMPDIR", kept.c_str(), 1);
    else
        unsetenv("TMPDIR");
}

// The product on the example project, with the example mapping table in a fresh home.
ProgramRun runExample(const HostScratch& scratch, const std::string& answers,
                      const std::vector<std::string>& more = {}) {
    const std::string examples = std::string(TEST_SOURCE_DIR) + "/../../examples";
    const std::filesystem::path table = scratch.file("home") + "/Application Data/Skellowing/ObjectMap.xml";
    std::filesystem::remove_all(scratch.file("home"));
    std::filesystem::create_directories(table.parent_path());
    std::filesystem::copy_file(examples + "/ObjectMap.xml", table);
    std::vector<std::string> arguments = {"run",       examples + "/project.json",
                                          "--command", "Skellow From IFC",
                                          "--answers", scratch.write("answers.json", answers),
                                          "--home",    scratch.file("home")};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return skellowHost(scratch, arguments);
}

TEST(SkellowHost, ExitsWithZeroOnlyWhenTheCommandRanToItsEnd) {
    HostScratch scratch;
    struct Case {
        std::string answers;
        int status;
        std::string err;
    };
    const Case cases[] = {
        // A taken name refused in the name dialog, then a free one: the run goes on and does its work,
        // and names the table it saved; not the project the host itself wrote in the home.
        {R"([{"do": "selectPopup", "item": 4, "index": 1},
             {"do": "setText", "item": 4, "text": "Default", "dialog": 32600},
             {"do": "click", "item": 1, "dialog": 32600},
             {"do": "setText", "item": 4, "text": "Site B", "dialog": 32600},
             {"do": "click", "item": 1, "dialog": 32600}])",
         0,
         "skellow-host: the add-on saved in " + scratch.file("home") +
             ": Application Data/Skellowing/ObjectMap.xml\n"},
        // Cancel in the replacement's process window: what it had not reached stays undone.
        {R"([{"do": "cancelProgressAt", "step": 1, "window": 2}])", 1,
         "skellow-host: \"Skellow From IFC\" was cancelled before its end\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answers);
        const ProgramRun run = runExample(scratch, c.answers, {"--out", scratch.file("home") + "/out.json"});
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.err, c.err);
    }
}

// The example project with one text replaced.
std::string exampleWith(const std::string& from, const std::string& to) {
    std::string text = readFile(std::string(TEST_SOURCE_DIR) + "/../../examples/project.json");
    const std::size_t at = text.find(from);
    return at == std::string::npos ? "" : text.replace(at, from.size(), to);
}

TEST(SkellowHost, ExitsWithOneWhenTheReportNamesElementsThatWereNotDone) {
    HostScratch scratch;
    const std::string examples = std::string(TEST_SOURCE_DIR) + "/../../examples";
    const std::string chair = R"("layer": 1,
     "drawOrder": 3, "libraryIndex": 1, "position": [2.0, 3.0])";
    const std::string missingLayer = exampleWith(chair, R"("layer": 9,
     "drawOrder": 3, "libraryIndex": 1, "position": [2.0, 3.0])");
    // The chair stands 1.7e308 above a ground floor at 1e308: its elevation above 0 is no number.
    std::string overflow = exampleWith(chair, chair + R"(, "elevation": 1.7e308)");
    overflow.replace(overflow.find(R"("level": 0.0)"), 12, R"("level": 1e308)");
    struct Case {
        std::string project;
        std::string table;   // the mapping of "Office Chair"
        int status;
        std::string err;
    };
    const Case cases[] = {
        {missingLayer, "Chair Modern", 1, "the first: getAttribute with 0x81060062 (bad index)\n"},
        {overflow, "Chair Modern", 1, "the first: database 'CABO' with 0x81060068 (bad parameters)\n"},
        // What the add-on leaves alone on its own it says in its report, and the host cannot tell.
        {readFile(examples + "/project.json"), "No Such Part", 0, ""},
        {readFile(examples + "/project.json"), "Door Glazed", 0, ""},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(i);
        ASSERT_FALSE(c.project.empty());
        std::string table = readFile(examples + "/ObjectMap.xml");
        table.replace(table.find("Chair Modern"), 12, c.table);
        const std::filesystem::path home = scratch.file("home" + std::to_string(i));
        std::filesystem::create_directories(home / "Application Data" / "Skellowing");
        scratch.write("home" + std::to_string(i) + "/Application Data/Skellowing/ObjectMap.xml", table);
        const ProgramRun run = skellowHost(scratch, {"run", scratch.write("p.json", c.project), "--command",
                                                     "Skellow From IFC", "--home", home.string()});
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
        EXPECT_EQ(run.out.find("could not be skellowed") != std::string::npos, c.status == 1) << run.out;
    }
}

// The alert names the path as it is, its control characters shown.
TEST(SkellowHost, NamesTheDataFolderByItsPathWhenTheHostCannotMakeItsFolder) {
    HostScratch scratch;
    std::filesystem::create_directories(scratch.file("home\x1b[2J"));
    scratch.write("home\x1b[2J/Application Data", "a file where the host's folder should be");
    const ProgramRun run =
        skellowHost(scratch, {"run", std::string(TEST_SOURCE_DIR) + "/../../examples/project.json",
                              "--command", "Skellow From IFC", "--home", scratch.file("home\x1b[2J")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("The Skellowing add-on folder \"" + scratch.file("home\\x1b[2J") +
                           "/Application Data/Skellowing\" cannot be found, made or written to"),
              std::string::npos)
        << run.out;
}

TEST(SkellowHost, CountsRefusedReadsChangesAndStepsTheCommandNeededButNotLookupsThatFindNothing) {
    using host::HostSlot;
    struct Case {
        HostSlot slot;
        std::uint32_t code;
        host::Result result;
        bool counts;
    };
    const Case cases[] = {
        {HostSlot::changeElement, 0, host::kErrRefusedCommand, true},   // a locked element
        {HostSlot::setElementUserData, 0, host::kErrOutsideUndoScope, true},
        {HostSlot::getElement, 0, host::kErrBadIndex, true},   // it could not be read
        {HostSlot::getElementIFCAttributes, 0, host::kErrGeneral, true},
        {HostSlot::undoableCommand, 0, host::kErrBadIndex, true},   // rolled back
        {HostSlot::changeElement, 0, host::kNoError, false},
        {HostSlot::searchLibraryPart, 0, host::kErrBadName, false},   // a search that finds nothing
        {HostSlot::getLibraryPart, 0, host::kErrBadIndex, false},     // no part there: a missing one
        {HostSlot::getLibraryPart, 0, host::kErrMemFull, true},
        {HostSlot::getLibraryPartParameters, 0, host::kErrBadIndex, false},
        {HostSlot::getLibraryPartParameters, 0, host::kErrGeneral, true},
        {HostSlot::getLibraryPartDetails, 0, host::kErrGeneral, true},   // how the part sizes its objects
        {HostSlot::getLibraryPartDetails, 0, host::kErrBadIndex, false},
        {HostSlot::getAttribute, 0, host::kErrBadIndex, true},   // an element's layer the project lacks
        {HostSlot::getString, 0, host::kErrGeneral, true},       // a text the add-on would have shown
        {HostSlot::utilities, host::fourcc("GULN"), host::kErrGeneral, true},
        {HostSlot::utilities, host::fourcc("GULN"), host::kErrBadName, false},   // it names no part
        {HostSlot::database, host::fourcc("CABO"), host::kErrBadParameters, true},
        {HostSlot::getModuleData, 0, host::kErrNoModuleData, false},
        {HostSlot::utilities, host::fourcc("CLPS"), host::kErrBadName, false},   // another family
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(host::hostSlotName(c.slot));
        EXPECT_EQ(host::refusedWork(host::HostCall{c.slot, c.code, c.result, {}}), c.counts);
    }
}

TEST(SkellowHost, NamesWhatTheAddonHadSavedWhenTheScriptStopsTheRun) {
    HostScratch scratch;
    // A mapping is cleared and the dialog accepted (the table saved), then an action waits for a dialog
    // that never opens.
    const ProgramRun run = runExample(scratch, R"([{"do": "selectRows", "item": 9, "rows": [1]},
        {"do": "click", "item": 12}, {"do": "click", "item": 1}, {"do": "click", "item": 1, "dialog": 4242}])");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("; the project was not saved, but the add-on had saved in " +
                           scratch.file("home") + ": Application Data/Skellowing/ObjectMap.xml\n"),
              std::string::npos)
        << run.err;
}

TEST(SkellowHost, ExplainsEveryOptionAndExitStatusOnItsHelpPage) {
    HostScratch scratch;
    for (const char* help : {"--help", "-h"}) {
        SCOPED_TRACE(help);
        const ProgramRun run = skellowHost(scratch, {"run", "p.json", help});
        EXPECT_EQ(run.status, 0);
        for (const char* word : {"menus", "run PROJECT.json", "--command", "--answers", "--home", "--out",
                                 "--module", "Exit status:", "\n  0 ", "\n  1 ", "\n  2 ", "Example:"})
            EXPECT_NE(run.out.find(word), std::string::npos) << word;
    }
}

TEST(SkellowHost, PlaysTheHelpPagesExampleScriptOnTheExampleProjectToItsEnd) {
    HostScratch scratch;
    const std::string help = skellowHost(scratch, {"--help"}).out;
    const std::size_t from = help.find("\n  [{");
    const std::size_t to = help.find("}]\n", from);
    ASSERT_NE(to, std::string::npos) << help;
    const std::string script = help.substr(from, to + 2 - from);
    const ProgramRun run = runExample(scratch, script);
    EXPECT_EQ(run.status, 0) << script << run.err;
    // The Cancel at the end declines the replacement, as the help says under exit status 0; the table
    // the dialog saved before is named with it.
    EXPECT_EQ(run.err,
              "skellow-host: \"Skellow From IFC\" declined: the add-on stopped its step "
              "\"Skellowing\" before the step's work began; the add-on saved in " +
                  scratch.file("home") + ": Application Data/Skellowing/ObjectMap.xml\n");
    EXPECT_NE(help.find(" declined"), std::string::npos);
    EXPECT_NE(run.out.find("dialog 32511 \"Object Selection\" closes (OK)"), std::string::npos) << run.out;
    // As the help says beside it: the accepted dialog saved the table, though the drawing was spared.
    const std::string table = readFile(scratch.file("home") + "/Application Data/Skellowing/ObjectMap.xml");
    EXPECT_EQ(table.find("<originalName>Office Chair</originalName>\n\t\t\t<mappedName>Chair Modern"),
              std::string::npos);
    EXPECT_NE(table.find("<originalName>Office Chair</originalName>"), std::string::npos);
}

TEST(SkellowHost, TakesAModuleNamedWithoutAFolderFromTheWorkingFolder) {
    HostScratch scratch;
    const std::filesystem::path module = RAW_ADDON_PATH;
    const ProgramRun run = skellowHost(scratch, {"menus", "--module", module.filename().string()},
                                       module.parent_path().string());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("Raw Test Addon\n", 0), 0u);
}

TEST(SkellowHost, ListsMenusWithoutMakingAnythingInTheHome) {
    HostScratch scratch;
    const std::string home = scratch.file("home");
    const char* const testHome = std::getenv("SKELLOW_HOME");
    const std::string kept = testHome ? testHome : "";
    ASSERT_EQ(setenv("SKELLOW_HOME", home.c_str(), 1), 0);   // the default home of the program
    for (const char* module : {RAW_ADDON_PATH, TEST_ADDON_PATH}) {
        SCOPED_TRACE(module);
        const ProgramRun run = skellowHost(scratch, {"menus", "--module", module});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_FALSE(std::filesystem::exists(home));
    }
    if (testHome)
        setenv("SKELLOW_HOME", kept.c_str(), 1);
    else
        unsetenv("SKELLOW_HOME");
}

// A failed step ends 1; one that declined at its start ends 0, as the command is done with, but a
// script reading stderr can tell it from a run that did its work. A preparation that threw is no decline,
// nor is a step declined inside another that then did its work; a step the add-on asks for as the
// project is saved is refused, and named.
TEST(SkellowHost, ExitsWithOneWhenATransactionOfTheCommandFailsAndTellsOneThatDeclined) {
    HostScratch scratch;
    const std::string project = scratch.write("p.json", kProject);
    const std::string out = scratch.file("out.json");
    const std::string refused =
        "skellow-host: the add-on's step \"In Notification\" was refused: it was asked "
        "for while the host told of a project event\n";
    const std::string saved = "the add-on saved in " + scratch.file("home") +
                              ": Application Data/Tarnwick/com.tarnwickgroup.TestAddon.xml\n";
    const struct {
        std::string command;
        const char* setting;   // how the test add-on's steps behave
        int status;
        std::string err;   // all of it, or where it is not all known, what it holds
    } cases[] = {
        {"Fail Body", nullptr, 1, "skellow-host: \"Fail Body\" ended with 0x81060062"},
        {"Decline Prepare", nullptr, 0,
         refused +
             "skellow-host: \"Decline Prepare\" declined: the add-on stopped its step "
             "\"Decline Prepare\" before the step's work began; " +
             saved},
        {"Decline Prepare", "TESTADDON_THROW_PREPARE", 1,
         "skellow-host: \"Decline Prepare\" failed: the add-on's step \"Decline Prepare\" failed in its "
         "preparation, before the step's work began\n"},
        {"Nested Transactions", "TESTADDON_INNER_DECLINES", 0, refused + "skellow-host: " + saved},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command + (c.setting ? std::string(" with ") + c.setting : ""));
        if (c.setting) setenv(c.setting, "1", 1);
        const ProgramRun run =
            skellowHost(scratch, {"run", project, "--command", c.command, "--out", out, "--module",
                                  TEST_ADDON_PATH, "--home", scratch.file("home")});
        if (c.setting) unsetenv(c.setting);
        EXPECT_EQ(run.status, c.status);
        if (c.status == 0) {
            EXPECT_EQ(run.err, c.err);
        } else {
            EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
            EXPECT_EQ(run.err.find("declined"), std::string::npos) << run.err;
        }
        if (c.command == "Nested Transactions") continue;   // it did its work
        host::SimProject written;
        std::string error;
        ASSERT_TRUE(written.loadFile(out, error)) << error;
        EXPECT_EQ(written.state.moduleData.count({"TestAddon", "counter"}), 0u) << "the project is as it was";
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

    // An answer the alert has no button for stops the run, said after the alert it names.
    run = skellowHost(scratch, {"run", project, "--command", "Ask Alert", "--answers",
                                scratch.write("three.json", R"([{"do": "answerAlert", "button": 3}])"),
                                "--module", RAW_ADDON_PATH});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out,
              "[Raw] Go on?\n  -> No\n  ! script stopped: answerAlert 3: the alert \"Go on?\" has no such "
              "button\n");

    // A text the module could not read as it started leaves the command short of it: status 1. A dialog
    // action then left unplayed is the command's failure, not the script's: named, but no 2.
    const std::string refusing = scratch.write(
        "short.json", R"({"moduleData": [{"addon": "Raw Test Addon", "name": "textAtStart", "version": 1,
                                          "platformSign": 22359, "text": "9"}]})");
    run = skellowHost(scratch, {"run", refusing, "--command", "Toggle Groups In Command", "--answers",
                                scratch.write("click.json", R"([{"do": "click", "item": 1}])"), "--module",
                                RAW_ADDON_PATH});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("the first: getString with"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("script: 1 dialog action was never played: the first, click item 1, waits for a "
                           "dialog, and none was open, as the command had given up before\n"),
              std::string::npos)
        << run.err;
}

// The program run on a pseudo-terminal, as at a user's: all it wrote there (both streams, as the
// terminal got them) and its exit status, once it has ended.
ProgramRun skellowHostOnTerminal(const std::vector<std::string>& arguments) {
    std::vector<std::string> words = {SKELLOW_HOST_PATH};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    ProgramRun run;
    int terminal = -1;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child < 0) return run;
    if (child == 0) {
        execv(argv[0], argv.data());
        _exit(127);
    }
    char buffer[4096];
    for (;;) {   // until the program's side is closed: EIO
        const ssize_t got = read(terminal, buffer, sizeof buffer);
        if (got > 0)
            run.out.append(buffer, static_cast<std::size_t>(got));
        else if (got < 0 && errno == EINTR)
            continue;
        else
            break;
    }
    ::close(terminal);
    int raw = 0;
    if (waitpid(child, &raw, 0) == child) run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

// The lines a terminal shows for these bytes: a carriage return goes back to the line's start, ESC [ K
// clears the rest of the line, and other bytes are written over what stands there.
std::vector<std::string> shownLines(const std::string& bytes) {
    std::vector<std::string> lines(1);
    std::size_t column = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::string& line = lines.back();
        if (bytes[i] == '\r') {
            column = 0;
        } else if (bytes[i] == '\n') {
            lines.emplace_back();
            column = 0;
        } else if (bytes.compare(i, 3, "\033[K") == 0) {
            line.resize(std::min(line.size(), column));
            i += 2;
        } else {
            if (column < line.size())
                line[column] = bytes[i];
            else
                line += bytes[i];
            ++column;
        }
    }
    return lines;
}

// On a terminal the progress bar is redrawn in place; every alert and dialog line still starts a line
// of its own, and a phase without steps yet shows no bar to fill.
TEST(SkellowHost, DrawsTheProgressBarOnATerminalApartFromAlertsAndDialogs) {
    HostScratch scratch;
    const std::string examples = std::string(TEST_SOURCE_DIR) + "/../../examples";
    const std::filesystem::path table = scratch.file("home") + "/Application Data/Skellowing/ObjectMap.xml";
    std::filesystem::create_directories(table.parent_path());
    std::filesystem::copy_file(examples + "/ObjectMap.xml", table);
    // The product's command; and the raw module's count, whose dialog opens while the bar stands.
    const struct {
        std::vector<std::string> arguments;
        std::string bar;
        std::size_t starts;   // lines of alerts and dialogs
    } cases[] = {
        {{"run", examples + "/project.json", "--command", "Skellow From IFC", "--home", scratch.file("home")},
         "Skellowing objects... [###############               ] 1/2",
         4},   // the dialog opens and closes, the question, the report
        {{"run", scratch.write("p.json", kProject), "--command", "Count Progress", "--module", RAW_ADDON_PATH,
          "--home", scratch.file("home")},
         "Phase [##############################] 5/5",
         2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments[3]);
        const ProgramRun run = skellowHostOnTerminal(c.arguments);
        EXPECT_EQ(run.status, 0) << run.out;
        EXPECT_NE(run.out.find(c.bar), std::string::npos) << run.out;
        EXPECT_FALSE(std::regex_search(run.out, std::regex(R"(\] [0-9]+/0[^0-9])"))) << run.out;
        std::size_t starts = 0;
        for (const std::string& line : shownLines(run.out)) {
            for (const char* start : {"Dialog ", "dialog ", "[Confirmation] ", "[Notification] "}) {
                const std::size_t at = line.find(start);
                EXPECT_TRUE(at == std::string::npos || at == 0) << line;
                starts += at == 0;
            }
        }
        EXPECT_EQ(starts, c.starts) << run.out;
    }
}

}   // namespace
