#include "AddonModule.h"

#include <dlfcn.h>
#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string_view>
#include <thread>
#include <vector>

#include "HostDialogLibrary.h"
#include "HostText.h"

namespace host {
namespace {

std::string dlerrorText() {
    const char* text = dlerror();
    return text ? text : "unknown reason";
}

using FileHeader = ElfW(Ehdr);   // of this process's class
using ProgramHeader = ElfW(Phdr);

constexpr unsigned char kOwnClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;
constexpr unsigned char kOwnByteOrder =
    std::endian::native == std::endian::little ? ELFDATA2LSB : ELFDATA2MSB;

// The machine this process runs on, as ELF headers name it; EM_NONE where this build does not know it.
constexpr ElfW(Half) kOwnMachine =
#if defined(__x86_64__)
    EM_X86_64;
#elif defined(__aarch64__)
    EM_AARCH64;
#elif defined(__i386__)
    EM_386;
#elif defined(__arm__)
    EM_ARM;
#elif defined(__riscv)
    EM_RISCV;
#elif defined(__powerpc64__)
    EM_PPC64;
#elif defined(__s390x__)
    EM_S390;
#else
    EM_NONE;
#endif

std::string machineName(ElfW(Half) machine) {
    switch (machine) {
        case EM_X86_64:
            return "x86-64";
        case EM_AARCH64:
            return "AArch64";
        case EM_386:
            return "x86 (32-bit)";
        case EM_ARM:
            return "ARM (32-bit)";
        case EM_RISCV:
            return "RISC-V";
        case EM_PPC64:
            return "PowerPC 64";
        case EM_PPC:
            return "PowerPC";
        case EM_S390:
            return "IBM Z";
        case EM_MIPS:
            return "MIPS";
        case EM_SPARCV9:
            return "SPARC V9";
        case 258:   // EM_LOONGARCH, newer than some elf.h
            return "LoongArch";
        default:
            return "machine number " + std::to_string(machine);
    }
}

// Whether the bytes [offset, offset + count * entry) lie outside a file of `size` bytes.
bool beyond(std::uint64_t offset, std::uint64_t count, std::uint64_t entry, std::uintmax_t size) {
    if (offset > size) return true;
    return entry != 0 && count > (size - offset) / entry;
}

using DynamicEntry = ElfW(Dyn);

// How a trial load in a child process ends when the loader survives it.
constexpr int kLoaded = 0;
constexpr int kRefused = 3;

// Whether [address, address + bytes) lies in what one loaded segment takes from the file.
bool inLoadedFile(const std::vector<ProgramHeader>& segments, std::uint64_t address, std::uint64_t bytes) {
    for (const ProgramHeader& segment : segments) {
        if (segment.p_type != PT_LOAD || address < segment.p_vaddr) continue;
        const std::uint64_t offset = address - segment.p_vaddr;
        if (offset <= segment.p_filesz && bytes <= segment.p_filesz - offset) return true;
    }
    return false;
}

// "" when the dynamic section, and the tables it points the loader to, lie in the file's loaded
// segments; else what is wrong. The loader follows these addresses without a check, so a damaged
// module of full length would end the process with a signal.
std::string whyDynamicUnsound(std::ifstream& in, const std::vector<ProgramHeader>& segments) {
    const auto dynamic = std::find_if(segments.begin(), segments.end(), [](const ProgramHeader& segment) {
        return segment.p_type == PT_DYNAMIC;
    });
    const std::string damaged = "is damaged: its dynamic section ";
    if (dynamic == segments.end()) return "is not a module file: it has no dynamic section";
    if (!inLoadedFile(segments, dynamic->p_vaddr, dynamic->p_filesz))
        return damaged + "lies outside its loaded segments";
    std::vector<DynamicEntry> entries(dynamic->p_filesz / sizeof(DynamicEntry));
    in.seekg(static_cast<std::streamoff>(dynamic->p_offset));
    if (!in.read(reinterpret_cast<char*>(entries.data()),
                 static_cast<std::streamsize>(entries.size() * sizeof(DynamicEntry))))
        return "cannot be read";
    const auto end = std::find_if(entries.begin(), entries.end(),
                                  [](const DynamicEntry& entry) { return entry.d_tag == DT_NULL; });
    if (end == entries.end()) return damaged + "has no end";
    const auto value = [&](ElfW(Sxword) tag) -> std::optional<std::uint64_t> {
        const auto found = std::find_if(entries.begin(), end,
                                        [tag](const DynamicEntry& entry) { return entry.d_tag == tag; });
        if (found == end) return std::nullopt;
        return found->d_un.d_val;
    };
    if (!value(DT_STRTAB) || !value(DT_SYMTAB) || !(value(DT_HASH) || value(DT_GNU_HASH)))
        return damaged + "names no symbol table";
    // Each table the loader reads, with its length where the section gives one.
    const std::pair<ElfW(Sxword), ElfW(Sxword)> tables[] = {{DT_STRTAB, DT_STRSZ},
                                                            {DT_SYMTAB, DT_NULL},
                                                            {DT_HASH, DT_NULL},
                                                            {DT_GNU_HASH, DT_NULL},
                                                            {DT_RELA, DT_RELASZ},
                                                            {DT_REL, DT_RELSZ},
                                                            {DT_JMPREL, DT_PLTRELSZ},
                                                            {DT_INIT_ARRAY, DT_INIT_ARRAYSZ},
                                                            {DT_FINI_ARRAY, DT_FINI_ARRAYSZ},
                                                            {DT_PREINIT_ARRAY, DT_PREINIT_ARRAYSZ},
                                                            {DT_INIT, DT_NULL},
                                                            {DT_FINI, DT_NULL},
                                                            {DT_VERSYM, DT_NULL},
                                                            {DT_VERDEF, DT_NULL},
                                                            {DT_VERNEED, DT_NULL}};
    for (const auto& [address, length] : tables) {
        const std::optional<std::uint64_t> at = value(address);
        if (!at) continue;
        const std::uint64_t bytes = length == DT_NULL ? 1 : value(length).value_or(0);
        if (!inLoadedFile(segments, *at, bytes)) return damaged + "points outside its loaded segments";
    }
    // The names of the libraries it needs are read from the string table.
    const std::uint64_t strings = value(DT_STRSZ).value_or(0);
    for (auto entry = entries.begin(); entry != end; ++entry)
        if ((entry->d_tag == DT_NEEDED || entry->d_tag == DT_SONAME) && entry->d_un.d_val >= strings)
            return damaged + "names a library outside its string table";
    return "";
}

// "" when the file is built for this machine and holds all its headers and segments promise; else why
// not. The dynamic loader maps a segment without asking whether the file holds it, and a cut file then
// ends the process with a signal on the first touch; a module of another machine it refuses as "No such
// file or directory". Files of another class or byte order are left to the loader, which refuses them
// with a message.
std::string whyUnloadable(const std::string& path, std::uintmax_t size) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "cannot be read";
    FileHeader header{};
    if (!in.read(reinterpret_cast<char*>(&header), sizeof header) ||
        std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0)
        return "is not a module file: it has no ELF header";
    if (header.e_ident[EI_CLASS] != kOwnClass || header.e_ident[EI_DATA] != kOwnByteOrder) return "";
    if (kOwnMachine != EM_NONE && header.e_machine != kOwnMachine)
        return "is a module for another machine: built for " + machineName(header.e_machine) +
               ", this host runs " + machineName(kOwnMachine);
    const std::string cut = "is cut short: its ";
    const std::string of = " lie beyond its " + std::to_string(size) + " bytes";
    if (header.e_phentsize != sizeof(ProgramHeader) ||
        beyond(header.e_phoff, header.e_phnum, header.e_phentsize, size))
        return cut + "program headers" + of;
    if (header.e_shnum > 0 && beyond(header.e_shoff, header.e_shnum, header.e_shentsize, size))
        return cut + "section headers" + of;
    std::vector<ProgramHeader> segments(header.e_phnum);
    in.seekg(static_cast<std::streamoff>(header.e_phoff));
    if (!in.read(reinterpret_cast<char*>(segments.data()),
                 static_cast<std::streamsize>(segments.size() * sizeof(ProgramHeader))))
        return "cannot be read";
    for (const ProgramHeader& segment : segments)
        if (beyond(segment.p_offset, 1, segment.p_filesz, size)) return cut + "segments" + of;
    return whyDynamicUnsound(in, segments);
}

// Why the path names no file a module can be loaded from, without opening it; empty when it names one.
std::string whyNoModuleFile(const std::string& path) {
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status)) return "no such module file";
    if (std::filesystem::is_directory(status)) return "is a folder, not a module file";
    // A pipe or socket would hold the loader's open until someone wrote to it.
    if (!std::filesystem::is_regular_file(status)) return "is not a regular file, so not a module file";
    return "";
}

enum class Trial { ended, notWaited, tooLong };

// The longest time between two looks at the child that counts whole. A longer one means this process
// was stopped, and with it the child if the job was (Ctrl-Z), or not run: only this much of it counts.
constexpr std::chrono::milliseconds kLongestCountedPause{250};

// A descriptor that becomes readable as the child ends; -1 where the system gives none (Linux before
// 5.3, or the call refused in a sandbox).
int endDescriptor(pid_t child) {
#ifdef SYS_pidfd_open
    return static_cast<int>(syscall(SYS_pidfd_open, child, 0));
#else
    return -1;
#endif
}

// Waits for the child until it has had patience of the time this process runs; one still running then
// is killed. A child that stops alone is counted as running, or a module that stops itself would hold
// the host for ever. Each wait lasts at most kLongestCountedPause and ends as the child does; without
// a descriptor for that, the child is looked at after growing pauses of up to 20 ms.
Trial waitForTrial(pid_t child, std::chrono::milliseconds patience, int& status) {
    using Clock = std::chrono::steady_clock;
    const int end = endDescriptor(child);
    Clock::duration counted{};
    Clock::time_point looked = Clock::now();
    auto pause = std::chrono::milliseconds(1);
    Trial trial = Trial::tooLong;
    for (;;) {
        const pid_t ended = waitpid(child, &status, WNOHANG);
        if (ended == child || (ended < 0 && errno != EINTR)) {
            trial = ended == child ? Trial::ended : Trial::notWaited;
            break;
        }
        const Clock::time_point now = Clock::now();
        counted += std::min<Clock::duration>(now - looked, kLongestCountedPause);
        looked = now;
        if (counted >= patience) break;
        const Clock::duration left = std::min<Clock::duration>(patience - counted, kLongestCountedPause);
        if (end >= 0) {
            pollfd watch{end, POLLIN, 0};   // an interrupted wait only means looking again
            poll(&watch, 1, static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count()));
        } else {
            std::this_thread::sleep_for(std::min<Clock::duration>(pause, left));
            pause = std::min(pause * 2, std::chrono::milliseconds(20));
        }
    }
    if (end >= 0) ::close(end);
    if (trial != Trial::tooLong) return trial;
    kill(child, SIGKILL);
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) continue;
    return Trial::tooLong;
}

std::string secondsText(std::chrono::milliseconds time) {
    std::ostringstream text;
    text << static_cast<double>(time.count()) / 1000.0;
    return text.str();
}

}   // namespace

std::unique_ptr<AddonModule> AddonModule::load(const std::string& path, std::string& error) {
    const std::string named = shownPath(path);   // as messages name it
    if (const std::string why = whyNoModuleFile(path); !why.empty()) {
        error = named + ": " + why;
        return nullptr;
    }
    std::error_code ec;
    if (const std::string why = whyUnloadable(path, std::filesystem::file_size(path, ec)); !why.empty()) {
        error = named + ": " + why;
        return nullptr;
    }
    std::unique_ptr<AddonModule> module(new AddonModule);   // private constructor: no make_unique
    module->path_ = path;
    dlerror();
    // The path is a path: dlopen searches the library folders for a name without a '/', so the file
    // given is named by its absolute path.
    const std::string file = std::filesystem::absolute(path, ec).string();
    // RTLD_NOW: a module with unresolved symbols fails here, not in the middle of a command.
    // RTLD_LOCAL: two add-ons may define the same names.
    module->library_ = dlopen(ec ? path.c_str() : file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module->library_) {
        error = named + ": cannot be loaded as a module: " + dlerrorText();
        return nullptr;
    }
    module->getExports_ =
        reinterpret_cast<GetExportedFuncAddrsProc>(dlsym(module->library_, kGetExportedFuncAddrsSymbol));
    module->setImports_ =
        reinterpret_cast<SetImportedFuncAddrsProc>(dlsym(module->library_, kSetImportedFuncAddrsSymbol));
    if (!module->getExports_ || !module->setImports_) {
        std::string missing;
        if (!module->getExports_) missing = kGetExportedFuncAddrsSymbol;
        if (!module->setImports_)
            missing += std::string(missing.empty() ? "" : " and ") + kSetImportedFuncAddrsSymbol;
        error = named + ": not an add-on module: it does not export " + missing;
        return nullptr;
    }
    // Resources are optional: a module without them has no strings or dialogs to offer.
    const auto getResources =
        reinterpret_cast<GetModuleResourcesProc>(dlsym(module->library_, kGetModuleResourcesSymbol));
    if (getResources) {
        const AddonResourceTable* table = getResources();
        if (table && table->count > 0 && !table->files) {
            error = named + ": its resource table lists files it does not hold";
            return nullptr;
        }
        for (std::uint32_t i = 0; table && i < table->count; ++i) {
            const AddonResourceFile& file = table->files[i];
            const std::string name = file.name ? file.name : "resource " + std::to_string(i + 1);
            if (!file.bytes && file.size > 0) {
                error = named + ": resource " + name + " has no bytes";
                return nullptr;
            }
            std::string why;
            const std::string_view text(reinterpret_cast<const char*>(file.bytes), file.size);
            if (!module->resources_.addFile(text, name, why)) {
                error = named + ": bad resources: " + why;
                return nullptr;
            }
        }
    }
    module->resourceModule_ = DGRegisterResourceModule(&module->resources_);
    return module;
}

bool AddonModule::loadsApart(const std::string& path, std::string& error,
                             std::chrono::milliseconds patience) {
    const std::string named = shownPath(path);   // as messages name it
    if (const std::string why = whyNoModuleFile(path); !why.empty()) return error = named + ": " + why, false;
    std::error_code ec;
    if (const std::string why = whyUnloadable(path, std::filesystem::file_size(path, ec)); !why.empty())
        return error = named + ": " + why, false;
    const pid_t parent = getpid();
    std::fflush(nullptr);   // what is buffered is written once, by this process
    const pid_t child = fork();
    if (child < 0) return true;   // no trial: the load itself will tell
    if (child == 0) {
        // Dies with this process (killed, say) rather than loading on for ever; a parent gone before
        // the request took hold shows in the parent's id.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) _exit(kRefused);
        // The module's static constructors run here; their output and a sanitizer's are not ours, nor
        // is the terminal's input (a read of it would stop a job in the background).
        const int nothing = ::open("/dev/null", O_RDWR);
        if (nothing >= 0) {
            dup2(nothing, STDIN_FILENO);
            dup2(nothing, STDOUT_FILENO);
            dup2(nothing, STDERR_FILENO);
        }
        const std::string file = std::filesystem::absolute(path, ec).string();
        _exit(dlopen(ec ? path.c_str() : file.c_str(), RTLD_NOW | RTLD_LOCAL) ? kLoaded : kRefused);
    }
    int status = 0;
    switch (waitForTrial(child, patience, status)) {
        case Trial::notWaited:
            return true;   // as without a trial
        case Trial::tooLong:
            error = named + ": loading it did not end within " + secondsText(patience) +
                    " seconds, so it is not taken";
            return false;
        case Trial::ended:
            break;
    }
    if (WIFEXITED(status) && (WEXITSTATUS(status) == kLoaded || WEXITSTATUS(status) == kRefused)) return true;
    error = named + ": is damaged: loading it stops the process (" +
            (WIFSIGNALED(status) ? "signal " + std::to_string(WTERMSIG(status))
                                 : "exit status " + std::to_string(WEXITSTATUS(status))) +
            ")";
    return false;
}

AddonModule::~AddonModule() {
    if (resourceModule_ != 0) DGUnregisterResourceModule(resourceModule_);
    if (library_) dlclose(library_);
}

}   // namespace host
