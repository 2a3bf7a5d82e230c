// The library calls of the simulated host over its project: loaded library parts by index, searching,
// making and registering parts, their sections, details and parameters, the family tests of unique ids
// and the project's library folders. The undo-scope rule is the dispatch point's.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "HostMemory.h"
#include "HostRecords.h"
#include "HostResult.h"
#include "SimLibraryIndex.h"
#include "SimProject.h"

namespace host {

// What lives between the calls: the part being made, the index it replaces, and whether a part of the
// same name may be replaced ('OWLP'); the index of the loaded parts.
struct SimLibraryWork {
    std::optional<SimLibraryPart> making;
    std::int32_t replacing = 0;   // the index the part replaces; 0: it is new
    bool overwrite = false;
    SimLibraryIndex index;
};

class SimLibrary {
public:
    SimLibrary(SimProject& project, SimLibraryWork& work) : project_(project), work_(work) {}

    Result search(LibraryPartRecord& part, bool createIfMissing, bool onlyPlaceable) const;
    Result get(LibraryPartRecord& part) const;
    std::int32_t count() const { return static_cast<std::int32_t>(project_.state.libraryParts.size()); }
    Result create(const LibraryPartRecord& part);
    Result addSection(const LibrarySectionHeader& header, Handle bytes, const char16_t* text);
    Result finish(LibraryPartRecord& part);
    Result sectionList(std::int32_t index, std::int32_t& count, Handle& headers) const;
    Result section(std::int32_t index, const LibrarySectionHeader& header, Handle& bytes, Handle* text) const;
    Result updateSection(std::int32_t index, const LibrarySectionHeader& header, Handle bytes,
                         const char16_t* text);
    Result details(std::int32_t index, LibraryPartDetails& details) const;
    Result setDetails(const LibraryPartRecord& part, Handle parameters, const LibraryPartDetails& details);
    Result registerPart(LibraryPartRecord& part);
    Result parameters(std::int32_t index, double* a, double* b, std::int32_t* count,
                      Handle& parameters) const;
    static Result makeParameterSection(Handle parameters, double a, double b, Handle& section);

    Result uniqueIdText(std::int32_t index, char* text) const;   // 'GLUI': 128 bytes
    Result family(const char* a, const char* b) const;           // 'CLPS'
    Result compare(const char* a, const char* b) const;          // 'COMP'

    Result folders(Handle& records, std::int32_t& current) const;                   // 'GLIB'
    Result setFolders(Handle records);                                              // 'SLIB', 'LLIB'
    Result addFolder(const char* location);                                         // 'ALIB'
    Result deleteFiles(const std::vector<const char*>& locations, bool fromDisk);   // 'DELI', 'DELS'

    static bool isTextSection(std::uint32_t type);
    // A 'PARD' section's bytes to the parameters and sizes; false when they are not such bytes.
    static bool readParameterSection(const std::vector<unsigned char>& bytes,
                                     std::vector<SimParameter>& parameters, double& a, double& b);

private:
    // The record of a part (with a new location, or null); kErrMemFull when the location fails.
    static Result putRecord(const SimLibraryPart& part, std::int32_t index, LibraryPartRecord& record);
    SimLibraryIndex& indexed() const;   // kept between the calls; it follows the parts itself
    // The loaded part whose unique id is the text, else the first whose main guid is the text's; 0 when none.
    std::int32_t findByUniqueId(const std::string& text, std::int32_t type, std::int32_t after, bool parent,
                                bool onlyPlaceable) const;
    // Applies a section to a part: replaces or adds it; a 'PARD' also sets the parameters and sizes.
    static Result putSection(SimLibraryPart& part, const LibrarySectionHeader& header, Handle bytes,
                             const char16_t* text);

    SimProject& project_;
    SimLibraryWork& work_;
};

}   // namespace host
