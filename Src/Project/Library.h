// Library: the project's database of loaded library parts. It finds parts by name, unique id and parent,
// walks the host's parts through a Library::Filter, turns a host library-part record into the right kind
// of ComponentSource through the source creators, writes changed or new parametric parts back to the
// host, and manages the project's library folders.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>

#include <FourCC.h>
#include <HostMemory.h>
#include <HostRecords.h>

#include "Foundation/File.h"
#include "Foundation/FileNamePattern.h"
#include "Foundation/String.h"
#include "Foundation/Vector.h"
#include "LibraryParts/ParameterList.h"
#include "Project/ComponentLink.h"
#include "Project/ComponentSource.h"
#include "Project/Database.h"

namespace tarnwick {

class FamilyGuid;
class Project;

// The project's library folders, one Directory entry each, in host order.
using FileList = Vector<File>;

// File vectors: equal when of one size and every file of the first has a file of the second at the same
// location (File::compareLocation); a vector contains a file when one of its entries is at its location.
bool operator==(const Vector<File>& first, const Vector<File>& second);
bool contains(const Vector<File>& files, const File& file);

// Makes the source of one host record: a new source owned by the caller, or null when the creator does
// not handle the record's type.
using SourceCreator = std::unique_ptr<ComponentSource> (*)(const host::LibraryPartRecord& record,
                                                           const ComponentLink& link);

// Owned by its Project; not copyable. Everything it knows comes from the host; it caches only the folder
// list. Every returned source is owned by the caller. Searches answer 0 and loads null on any host
// error; nothing is thrown but allocation failures and the iterator's errors.
class Library : public Database {
public:
    // Selects the parts of a walk: a name pattern ("*" wildcards) on the document name, a type, and the
    // kind's own test. Copy freely; kinds override clone and accepts.
    class Filter {
    public:
        // An empty pattern takes every name; type 0 every type. With cacheCount set, a walk remembers the
        // part count it found here (cachedCount 0: none yet).
        Filter(const String& namePattern, std::uint32_t type, bool cacheCount, std::int32_t cachedCount);
        Filter(const Filter&) = default;
        Filter& operator=(const Filter&) = default;

        virtual ~Filter();
        virtual std::unique_ptr<Filter> clone() const;
        virtual bool accepts(ComponentSource& source) const;   // after name and type; every source here

        bool matchesName(const String& documentName) const;
        std::uint32_t getType() const { return type_; }
        bool cachesCount() const { return cacheCount_; }
        std::int32_t getCachedCount() const { return cachedCount_; }
        void setCachedCount(std::int32_t count) { cachedCount_ = count; }

    private:
        FileNamePattern pattern_;
        bool everyName_;       // the pattern was empty
        std::uint32_t type_;   // 0: any
        bool cacheCount_;
        std::int32_t cachedCount_;   // 0: none cached
    };

    // Walks the parts that pass a filter, holding one source at a time (owned), forwards or backwards.
    // With its modify flag set, a source that holds changes (ComponentSource::isChanged) is saved
    // (Library::savePart of the source's own library) when the iterator lets go of it. Move-only; the default
    // iterator is the end every walk compares against.
    class Iterator {
    public:
        Iterator() = default;   // the end
        Iterator(Iterator&& other) noexcept = default;
        Iterator& operator=(Iterator&& other) noexcept;
        ~Iterator();

        // The current source. Throws TracedException "out_of_range" at the end.
        ComponentSource& getReference() const;
        ComponentSource& operator*() const { return getReference(); }
        ComponentSource* operator->() const { return &getReference(); }
        // Lets go of the source (saving it first when modifying) and moves to the next one that passes.
        // Throws TracedException "out_of_range" at the end.
        void moveForward();
        Iterator& operator++() {
            moveForward();
            return *this;
        }
        std::unique_ptr<ComponentSource> takeSource() { return std::move(current_); }   // not saved then

        bool atEnd() const { return !current_; }
        // Equal at the end, or on sources of the same link.
        bool operator==(const Iterator& other) const;
        bool getModify() const { return modify_; }
        void setModify(bool on) { modify_ = on; }

    private:
        friend class Library;
        Iterator(std::unique_ptr<ComponentSource> source, std::unique_ptr<Filter> filter, bool modify,
                 bool forward);
        void release();   // saves (when modifying) and deletes the current source

        std::unique_ptr<ComponentSource> current_;   // null at the end
        std::unique_ptr<Filter> filter_;             // our own copy; keeps the walk's part count
        bool modify_ = false;
        bool forward_ = true;
    };
    using iterator = Iterator;
    using reverse_iterator = Iterator;

    explicit Library(Project& project);
    ~Library() override;

    // --- Virtual operations, in the order of the interface -------------------------------------------
    void clear() override;   // drops the folder list; it is read again on next use
    String typeName() const override { return "Library"; }

    // --- Kept answers -------------------------------------------------------------------------------
    // While a command runs, only the add-on's own calls change the loaded parts, and each of those forgets
    // what is kept. So while at least one token lives (or the project keeps the host's answers), a part
    // found by name or unique id, a part's family, source and defaults are asked of the host once, and
    // each later question gets the same answer; the last token going forgets them. A failed question is
    // not kept: it is asked again.
    std::shared_ptr<void> keepAnswers();

    // --- Sources ------------------------------------------------------------------------------------
    // Null: no such loaded part, or the host failed to give it, which sets `unread` when given. While
    // answers are kept, the part's source is read once and each caller gets a copy: every element switching
    // to the same part asks for it.
    std::unique_ptr<ComponentSource> getSource(const ComponentLink& link, bool* unread = nullptr);
    bool contains(const ComponentLink& link);   // getSource gives one
    // The part at the link (type 0 and index below 1: none), through the filter when one is given. The
    // link takes the record's type (or gives it to an untyped record) and this library.
    std::unique_ptr<ComponentSource> loadSource(ComponentLink& link, const Filter* filter);
    // The source of a host record through the source creators (the extra ones first); null when none
    // makes one. The record's type is classified first and written into the record and the link. The
    // record's host location is disposed in every case.
    static std::unique_ptr<ComponentSource> makeSource(host::LibraryPartRecord& record, ComponentLink& link);
    // The type of a part by the host's family test against the host library's known subtypes; the given
    // type when the part belongs to none of them.
    static std::uint32_t classifyPart(const FamilyGuid& uniqueId, std::uint32_t type);

    // --- Walking ------------------------------------------------------------------------------------
    Iterator begin(bool modify, const Filter& filter);
    Iterator begin(const Filter& filter) { return begin(false, filter); }
    // From the last part down; always modifying (a part is saved only when it was changed).
    Iterator rbegin(const Filter& filter);
    static Iterator end() { return Iterator(); }
    // The next (forward) or previous part after the link that passes the filter; null when none. Forward,
    // the part count is kept in the filter when it caches it; a backward find forgets the cached count.
    std::unique_ptr<ComponentSource> seek(const ComponentLink& link, bool forward, Filter& filter);
    std::int32_t getPartCount();   // the host's number of loaded parts; 0 on failure

    // --- Searching (library index, 0 when not found; type is in-out) ----------------------------------
    // By document name with the type; else by document name of any type; else by the file name
    // name + ".gsm" of any type. On success type becomes the found part's (classified) type; on a miss it
    // stays.
    std::int32_t searchByName(const String& name, std::uint32_t& type);
    std::int32_t searchByGuid(const FamilyGuid& uniqueId, std::uint32_t& type);
    // The first part after index `start` whose parent unique id is the text.
    std::int32_t searchByParentGuid(const FamilyGuid& parentId, std::uint32_t& type, std::int32_t start);
    FamilyGuid getUniqueId(std::int16_t index);         // 'GLUI'; empty on failure
    std::int32_t findByIndexGuid(std::int16_t index);   // searchByGuid of the part's unique id
    // Appends one link (index, type 0) per part whose parent is the linked part; the vector's size then
    // (0 when the link gives no source).
    std::size_t collectSubtypes(const ComponentLink& link, Vector<ComponentLink>& links);

    // --- Parts --------------------------------------------------------------------------------------
    // The owner code of the add-on's own part files.
    static constexpr std::uint32_t kOwnPartsOwner = host::fourcc("GSAC");
    // Registers an existing part file with the type and owner code (the add-on's own when not given); its
    // source, or null when the file does not exist or the host refuses.
    std::unique_ptr<ComponentSource> registerPart(const File& file, std::uint32_t type,
                                                  std::uint32_t owner = kOwnPartsOwner);
    // The part's default parameter records, a new handle the caller releases with the host's parameter
    // disposal (null on failure, or without a host call when count is null); the default A and B sizes
    // and the record count into the out values given.
    host::Handle getParameters(const ComponentLink& link, std::int32_t* count, double* a, double* b);
    // What an element taking the part needs of it: its default parameters (readable false when the
    // host's records could not be read) and the default A and B sizes.
    struct PartDefaults {
        ParameterList parameters;
        bool readable = false;
        double width = 0.0;
        double depth = 0.0;
    };
    // The part's defaults through getParameters; null when the host cannot give them. While answers are
    // kept they are fetched once per part; a failure is not kept.
    std::shared_ptr<const PartDefaults> getPartDefaults(const ComponentLink& link);
    // Writes a ParametricSource to the host: its sections into the existing part, or a new part made of
    // them. False for other sources (no host call) and on any failure.
    bool savePart(ComponentSource& source);
    std::uint32_t getLastResult() const { return lastResult_; }   // of the last change; 0 = success
    // The parts the host failed to give since the library was made; a part that is not loaded (a
    // missing one) is an answer, not a failure. Walks compare it before and after.
    std::size_t getFailedReads() const { return failedReads_; }

    // --- Files and folders --------------------------------------------------------------------------
    bool deleteFile(const File& file);              // 'DELI'; the result becomes the last result
    bool deleteFiles(const Vector<File>& files);    // 'DELS'; the same
    FileList& getFileList();                        // the project's library folders, read once ('GLIB')
    std::unique_ptr<File> getCurrentFolder();       // a copy of the current folder's entry; null when none
    bool hasFolderWithin(const File& file);         // a listed folder lies inside the file's location
    bool setLibraries(const Vector<File>& files);   // 'SLIB'; drops the folder list
    bool addLibrary(const File& file);              // 'ALIB'; false when the file does not exist
    bool reload();                                  // 'GLIB', then 'LLIB' with what it gave

    // --- Source creators ----------------------------------------------------------------------------
    // Adds the creator to the extra registry (made on first use), after those of its type.
    static void registerSourceCreator(std::uint32_t type, SourceCreator creator);
    static void registerCreators();     // the built-in registry (at add-on start)
    static void unregisterCreators();   // frees both registries (at add-on end)

private:
    // Which keeping the kept answers belong to: our own tokens' number, else the project's (0, 0: none).
    using AnswerKey = std::pair<std::uint64_t, std::uint64_t>;
    // A search's answer: the index found and the found part's classified type.
    struct Found {
        std::int32_t index = 0;
        std::uint32_t type = 0;
    };
    using SearchKey = std::pair<std::uint32_t, std::string>;   // requested type, name or unique-id text
    using Searches = std::map<SearchKey, Found>;
    // What the host answered under one key.
    struct KeptParts {
        AnswerKey key{0, 0};
        std::map<std::pair<std::uint32_t, std::int32_t>, std::unique_ptr<ComponentSource>> sources;
        std::map<std::int32_t, std::shared_ptr<const PartDefaults>> defaults;
        Searches byName;
        Searches byGuid;
        std::unordered_map<std::string, int> subtypeOf;   // by unique-id text: the family's place, -1 none
    };
    // Shared with the tokens, so that a token outliving the library touches nothing that is gone.
    struct Keeping {
        std::int32_t keepers = 0;
        std::uint64_t epoch = 0;
        KeptParts kept;
    };

    void dropFileList();
    KeptParts* keptParts();   // null while no answers are kept; emptied when a new keeping starts
    void forgetKeptParts();   // the add-on changes the library: nothing kept about its parts holds

    std::unique_ptr<FileList> folders_;   // made on first use
    std::shared_ptr<Keeping> keeping_ = std::make_shared<Keeping>();
    std::int32_t currentFolder_ = -1;   // position in folders_; -1: none
    std::uint32_t lastResult_ = 0;      // 0 = success
    std::size_t failedReads_ = 0;
};

}   // namespace tarnwick
