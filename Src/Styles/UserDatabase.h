// UserDatabase: the persistent collection of user-made records (styles, records of deleted styles) kept
// by Guid, with the rules every such database shares: how a record is created, put and found, how
// names are kept unique, how two databases merge, and its XML form, as a package of the project's
// module data or as a file of its own.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "Environment/Host.h"
#include "Environment/Package.h"
#include "Foundation/DataBufferIn.h"
#include "Foundation/DateTime.h"
#include "Foundation/Guid.h"
#include "Foundation/String.h"
#include "Foundation/TracedException.h"
#include "Foundation/XMLAssemblyProxy.h"
#include "Foundation/XMLTypeProxy.h"
#include "Project/ElementIterator.h"
#include "Styles/LegacyStyleFile.h"
#include "Styles/UniqueName.h"
#include "Styles/UserDatabaseCollection.h"
#include "Styles/UserRecord.h"

namespace tarnwick {

// Record derives from UserRecord. Database derives from this template, is default-constructible and
// copyable (a copy shares the records), gives its package code, and makes records by type name
// (makeRecordOfType, null for an unknown type) and of the current type (newTemplateRecord, null when
// no type is registered). Records are shared: the database, its copies, a file being read or written
// and the dialogs may hold one at the same time.
template <typename Record, typename Database>
class UserDatabase : public Package {
public:
    using RecordPtr = std::shared_ptr<Record>;
    using Entry = std::pair<Guid, RecordPtr>;

    // Keeps the records in key order; an empty pointer may stand for a moment (purge drops those).
    class RecordList {
    public:
        using Storage = std::map<Guid, RecordPtr>;
        explicit RecordList(UserDatabase& owner) : owner_(&owner) {}
        // A clone of the current type's template; throws TracedException "bad_alloc" when no type is
        // registered, placed at the owning database's class so the report tells which list it was.
        RecordPtr newEmptyRecord() const {
            RecordPtr record = owner_->newTemplateRecord();
            if (!record)
                throw TracedException("bad_alloc",
                                      iteration::runTimeName(*owner_) + "::RecordList::newEmptyRecord");
            return record;
        }
        // Every entry with a record, sorted by name in lower case; equal names stay in key order.
        std::vector<Entry> entries() const {
            std::vector<std::pair<String, Entry>> keyed;
            for (const auto& [key, record] : storage)
                if (record) keyed.push_back({record->getName().toLower(), {key, record}});
            std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
                return a.first.getView() < b.first.getView();
            });
            std::vector<Entry> result;
            result.reserve(keyed.size());
            for (auto& item : keyed) result.push_back(std::move(item.second));
            return result;
        }

        Storage storage;

    private:
        friend class UserDatabase;
        UserDatabase* owner_;
    };

    // A predicate over records; shared by the lists that hold it.
    class Filter {
    public:
        virtual ~Filter() = default;
        virtual bool passes(const Guid& key, const Record& record) const = 0;
    };
    using FilterList = std::vector<std::shared_ptr<const Filter>>;

    // The other side of a double dispatch: code that holds a database by this template reaches the
    // operation written for the database's own kind.
    class Visitor {
    public:
        virtual ~Visitor() = default;
        virtual void visit(Database& database) = 0;
    };

    // Presents a database under its own tag with its own children, except that only records passing
    // every filter are written, and every record read that passes them is put (the put rule below).
    class FilteredProxy : public XMLProxy {
    public:
        FilteredProxy(UserDatabase& database, FilterList filters)
            : XMLProxy(database.getTag(), false), view_(database, std::move(filters)) {}
        XMLAssembly* getRecord() override { return &view_; }

    private:
        class View final : public XMLAssembly {
        public:
            View(UserDatabase& database, FilterList filters)
                : XMLAssembly(database.getTag()), database_(database), filters_(std::move(filters)) {}
            std::unique_ptr<XMLAssembly> clone() const override {
                throw TracedException("bad_access", "UserDatabase::FilteredProxy::clone");
            }
            std::size_t getChildCount() const override { return 2; }
            std::unique_ptr<XMLProxy> findChild(std::string_view name, bool attribute) override {
                if (name == kRecordsTag && !attribute) return makeChildProxy(1);
                return database_.findChild(name, attribute);
            }

        protected:
            std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override {
                if (index != 1) return database_.getChildProxy(index);
                return std::make_unique<OwningProxy>(
                    std::make_unique<RecordElements>(database_, &filters_, /*putOnRead=*/true));
            }

        private:
            UserDatabase& database_;
            FilterList filters_;
        };
        View view_;
    };

    static constexpr std::string_view kDefaultTag = "default";
    static constexpr std::string_view kRecordsTag = "records";
    static constexpr std::string_view kKeyTag = "key";

    explicit UserDatabase(std::string_view packageTag) : Package(packageTag), records_(*this) {}
    UserDatabase(const UserDatabase& other) : Package(other), records_(*this), current_(other.current_) {
        records_.storage = other.records_.storage;   // the records themselves are shared
    }
    UserDatabase& operator=(const UserDatabase&) = delete;
    ~UserDatabase() override = default;

    // --- Package -------------------------------------------------------------------------------------
    std::unique_ptr<XMLAssembly> clone() const override {
        return std::make_unique<Database>(static_cast<const Database&>(*this));
    }
    std::unique_ptr<Package> makeEmpty() const override { return std::make_unique<Database>(); }
    std::unique_ptr<Package> makeDefaultCopy() const override {
        return std::make_unique<Database>(static_cast<const Database&>(*this));
    }
    bool isKeptOnReset() const override { return true; }
    void merge(const Package& other) override {
        const auto* database = dynamic_cast<const UserDatabase*>(&other);
        if (database == nullptr || database == this) return;
        for (const auto& [key, record] : database->records_.storage) put({key, record});
    }
    void clear() override {
        records_.storage.clear();
        current_.clear();
        Package::clear();
    }

    // --- XML -----------------------------------------------------------------------------------------
    std::size_t getChildCount() const override { return 2; }
    std::unique_ptr<XMLProxy> findChild(std::string_view name, bool attribute) override {
        if (name == kDefaultTag) return makeChildProxy(0);
        if (name == kRecordsTag && !attribute) return makeChildProxy(1);
        return nullptr;
    }

    // --- Records ---------------------------------------------------------------------------------------
    // A new database of the same kind with a deep copy of every record that passes (all: no filter),
    // and the current key: the style dialog files such a copy, and with nothing selected the user's
    // current style must survive it.
    std::unique_ptr<Database> copyFiltered(const std::shared_ptr<const Filter>& filter) const {
        auto copy = std::make_unique<Database>();
        for (const auto& [key, record] : records_.storage)
            if (record && (!filter || filter->passes(key, *record)))
                copy->records_.storage[key] = std::static_pointer_cast<Record>(record->cloneRecord());
        copy->current_ = current_;
        return copy;
    }

    auto begin() { return records_.storage.begin(); }
    auto end() { return records_.storage.end(); }
    auto begin() const { return records_.storage.begin(); }
    auto end() const { return records_.storage.end(); }
    std::size_t size() const { return records_.storage.size(); }
    const Guid& getCurrentKey() const { return current_; }
    void setCurrentKey(const Guid& key) { current_ = key; }

    // A new record named after the source record (its clone), or by name ("Untitled" when empty) of the
    // current type without one; stored under wantedKey, or a new key when that is invalid, with a name
    // no other record holds, the one it replaces under wantedKey included. Returns its key. Throws as
    // newEmptyRecord does when no type is registered.
    Guid createRecord(const Guid& sourceKey, const String& name, const Guid& wantedKey) {
        const RecordPtr source = findRecord(sourceKey);
        RecordPtr record;
        if (source) {
            record = std::static_pointer_cast<Record>(source->cloneRecord());
            record->setName(source->getName());
        } else {
            record = records_.newEmptyRecord();
            record->setName(name.isEmpty() ? Host::getString(kUserDataStrings, kUntitledItem) : name);
        }
        const Guid key = wantedKey.isValid() ? wantedKey : newKey();
        ensureUniqueName(record);         // a record still under the key holds its name until replaced
        records_.storage[key] = record;   // replaces it
        return key;
    }

    bool markRecord(const Guid& key, bool deleted) {   // false when no record stands under key
        const RecordPtr record = findRecord(key);
        if (!record) return false;
        record->setDeleted(deleted);
        return true;
    }
    bool erase(const Guid& key) {   // false when absent
        const auto found = find(key);
        if (found == end()) return false;
        eraseAt(found);
        return true;
    }
    void purge() {
        std::erase_if(records_.storage, [](const auto& entry) { return !entry.second; });
    }
    std::vector<Entry> entries() const { return records_.entries(); }

    // Renames record to a name no other record of the database holds. When a deleted record holds the
    // wanted name, the two exchange: record takes the name and the deleted one the numbered variant. The
    // record itself, when stored, is not counted as a holder, unless it gives its name up to a record
    // about to take it: then it holds the name and so takes the variant. A kind with another scope
    // overrides it.
    virtual void ensureUniqueName(const RecordPtr& record, bool givesNameUp) {
        ensureUniqueNameAmong(record, givesNameUp, [](const Record&) { return true; });
    }
    void ensureUniqueName(const RecordPtr& record) { ensureUniqueName(record, false); }

    Guid newKey() const { return Guid::generate(); }

    // Stores an entry the way one database takes a record from another: an invalid key or an empty
    // record is ignored; a new key is inserted under a unique name; a stored record that differs from
    // the incoming one is replaced by it, and the incoming record keeps its name.
    void put(const Entry& entry) {
        const auto& [key, record] = entry;
        if (!key.isValid() || !record) return;
        auto found = find(key);
        if (found != end() && !found->second) {
            eraseAt(found);
            found = end();
        }
        if (found == end()) {
            insert(entry);
        } else if (found->second->differs(*record)) {
            replaceAt(found, record);
        }
    }
    // Stores an entry whose key is absent, renaming its record when another record holds its name.
    void insert(const Entry& entry) {
        if (!entry.first.isValid() || !entry.second) return;
        records_.storage[entry.first] = entry.second;
        ensureUniqueName(entry.second);
    }

    auto find(const Guid& key) { return key.isValid() ? records_.storage.find(key) : end(); }
    auto find(const Guid& key) const { return key.isValid() ? records_.storage.find(key) : end(); }
    void eraseAt(typename RecordList::Storage::iterator position) { records_.storage.erase(position); }
    void replaceAt(typename RecordList::Storage::iterator position, const RecordPtr& record) {
        position->second = record;
    }

    // The record under key; empty when the key is invalid or absent, or skipDeleted and it is deleted.
    RecordPtr findRecord(const Guid& key, bool skipDeleted = false) const {
        const auto found = find(key);
        if (found == end() || !found->second) return nullptr;
        if (skipDeleted && found->second->isDeleted()) return nullptr;
        return found->second;
    }
    // As findRecord, but a valid key that is absent first gets a deleted placeholder named "Missing "
    // (made unique) with the null time stamp. Only for callers that really want a record there: a
    // lookup for display uses findRecord, so that it never writes into the database.
    RecordPtr findOrCreateRecord(const Guid& key) {
        if (!key.isValid()) return nullptr;
        if (RecordPtr record = findRecord(key)) return record;
        createRecord(Guid(), Host::getString(kUserDataStrings, kMissingItem), key);
        RecordPtr record = findRecord(key);
        record->setDeleted(true);
        record->setModified(DateTime());
        return record;
    }

    // --- Files of its own ------------------------------------------------------------------------------
    // Prepares a file of this database's own: the collection takes the file's root tag and a proxy that
    // presents the database with the filters. With copy the proxy presents a deep copy, which the
    // collection keeps as its package (takePackage gives it after a read). Without copy the collection
    // gets no package, so the database stays with its owner.
    void createProxy(UserDatabaseCollection& collection, bool copy, const FilterList& filters = {}) {
        collection.setRootTag(getFileRootTag());
        if (!copy) {
            collection.add(std::make_unique<FilteredProxy>(*this, filters), nullptr);
            return;
        }
        std::unique_ptr<Database> duplicate = copyFiltered(nullptr);
        auto proxy = std::make_unique<FilteredProxy>(*duplicate, filters);
        collection.add(std::move(proxy), std::move(duplicate));
    }
    virtual std::string_view getFileRootTag() const = 0;   // the root element of a file of its own

    // Passes the call on to the visitor's operation, with this database as its own kind.
    virtual void dispatchTo(Visitor& visitor) = 0;

    // Imports the styles of a legacy binary style file, each record of the type registered under its
    // group's name, put as soon as it was read: the styles before a failure (error says where) or a
    // cancel stay. count: the records put.
    bool importLegacyFile(DataBufferIn& in, String& error, std::size_t& count) {
        class Into final : public LegacyStyleFile::Target {
        public:
            explicit Into(UserDatabase& database) : database_(database) {}
            std::shared_ptr<UserRecord> makeRecord(const String& typeKey, const String& name) override {
                RecordPtr record = database_.makeLegacyRecord(typeKey.getView());
                if (record) record->setName(name);
                return record;
            }
            void put(const Guid& key, const std::shared_ptr<UserRecord>& record) override {
                database_.put({key, std::static_pointer_cast<Record>(record)});
            }
            void storeValue(UserRecord& record, const String& name, const Setting& value,
                            std::uint32_t index) override {
                database_.importLegacyValue(static_cast<Record&>(record), name, value, index);
            }

        private:
            UserDatabase& database_;
        };
        Into target(*this);
        LegacyStyleFile file;
        const bool read = file.read(in, target, /*showProgress=*/true);
        error = file.getError();
        count = file.getImportedCount();
        return read;
    }

protected:
    static constexpr std::int16_t kUserDataStrings = 32703;
    static constexpr std::int32_t kMissingItem = 1;
    static constexpr std::int32_t kUntitledItem = 2;

    // The unique-name rule over the stored records that `among` admits. A live holder of the name keeps
    // it whatever the key order; only when every holder is deleted does the record take the name, and
    // each deleted holder a variant of its own (stored data may hold a name twice).
    template <typename Among>
    void ensureUniqueNameAmong(const RecordPtr& record, bool itselfCounts, Among among) {
        if (!record) return;
        const String wanted = record->getName();
        UniqueName search(wanted);
        std::vector<RecordPtr> deletedHolders;
        bool liveHolder = false;
        for (const auto& [key, other] : records_.storage) {
            if (!other || (other == record && !itselfCounts) || !among(*other)) continue;
            const String name = other->getName();
            if (name == wanted) {
                if (other->isDeleted())
                    deletedHolders.push_back(other);
                else
                    liveHolder = true;
            }
            search.add(name);
        }
        if (!search.hasClash()) return;
        if (liveHolder) {
            record->setName(search.result());
            return;
        }
        for (const RecordPtr& holder : deletedHolders) {
            const String variant = search.result();
            holder->setName(variant);
            search.add(variant);
        }
    }

    // A legacy file's value under a name that is no legacy name; by default the record's own parameter.
    virtual void importLegacyValue(Record& record, const String& name, const Setting& value,
                                   std::uint32_t index) {
        record.setSetting(name, value, index);
    }

    // The record a legacy style file's group key stands for, named; null for an unknown key. By default
    // the key is the type name.
    virtual RecordPtr makeLegacyRecord(std::string_view typeKey) const { return makeRecordOfType(typeKey); }

    // A record of the type named by an element's tag, cleared; null for an unknown type.
    virtual RecordPtr makeRecordOfType(std::string_view typeName) const = 0;
    // A clone of the current type's template; null when no type is registered.
    virtual RecordPtr newTemplateRecord() const = 0;

    std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override {
        if (index == 0)
            return std::make_unique<XMLTypeProxy<Guid>>(current_, kDefaultTag, false, std::string_view{},
                                                        current_.isValid());
        if (index == 1)
            return std::make_unique<OwningProxy>(
                std::make_unique<RecordElements>(*this, nullptr, /*putOnRead=*/false));
        return nullptr;
    }

private:
    // A proxy that owns the record it presents, for records made for one read or write step.
    class OwningProxy final : public XMLProxy {
    public:
        explicit OwningProxy(std::unique_ptr<XMLAssembly> record)
            : XMLProxy(record->getTag(), false), record_(std::move(record)) {}
        XMLAssembly* getRecord() override { return record_.get(); }

    private:
        std::unique_ptr<XMLAssembly> record_;
    };

    // One record's element: the "key" attribute, then the record's own children. While reading, the
    // end tag hands the record over: kept first (package) or put (file), and dropped with a null key.
    class KeyedRecord final : public XMLAssembly {
    public:
        KeyedRecord(UserDatabase& database, const Guid& key, RecordPtr record, bool putOnRead,
                    const FilterList* filters)
            : XMLAssembly(record->getTag()),
              database_(database),
              key_(key),
              record_(std::move(record)),
              putOnRead_(putOnRead),
              filters_(filters) {}
        std::unique_ptr<XMLAssembly> clone() const override {
            throw TracedException("bad_access", "UserDatabase::KeyedRecord::clone");
        }
        std::size_t getChildCount() const override { return 1 + record_->getChildCount(); }
        std::unique_ptr<XMLProxy> findChild(std::string_view name, bool attribute) override {
            if (name == kKeyTag && attribute) return makeChildProxy(0);
            return record_->findChild(name, attribute);
        }
        bool isValid() override {
            if (!record_->isValid()) return false;   // a malformed record fails the read
            if (!key_.isValid()) return true;        // no key names no record: dropped
            if (filters_ != nullptr && !passes(*filters_, key_, *record_)) return true;
            if (putOnRead_) {
                database_.put({key_, record_});
            } else if (!database_.records_.storage.contains(key_)) {
                database_.records_.storage[key_] = record_;   // the first record read for a key is kept
            }
            return true;
        }

    protected:
        std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override {
            if (index == 0) return std::make_unique<XMLTypeProxy<Guid>>(key_, kKeyTag, /*isAttribute=*/true);
            return record_->getChildProxy(index - 1);
        }

    private:
        UserDatabase& database_;
        Guid key_;
        RecordPtr record_;
        bool putOnRead_;
        const FilterList* filters_;
    };

    // The "records" element: one element per record, named by its type.
    class RecordElements final : public XMLAssembly {
    public:
        RecordElements(UserDatabase& database, const FilterList* filters, bool putOnRead)
            : XMLAssembly(kRecordsTag),
              database_(database),
              filters_(filters),
              putOnRead_(putOnRead),
              cursor_(database.records_.storage.begin()) {}
        std::unique_ptr<XMLAssembly> clone() const override {
            throw TracedException("bad_access", "UserDatabase::RecordElements::clone");
        }
        std::size_t getChildCount() const override { return database_.records_.storage.size(); }
        std::unique_ptr<XMLProxy> findChild(std::string_view name, bool attribute) override {
            if (attribute) return nullptr;
            RecordPtr record = database_.makeRecordOfType(name);
            if (!record) return nullptr;   // an unknown type is skipped with its content
            record->clear();
            return std::make_unique<OwningProxy>(
                std::make_unique<KeyedRecord>(database_, Guid(), std::move(record), putOnRead_, filters_));
        }

    protected:
        std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override {
            auto& storage = database_.records_.storage;
            if (index >= storage.size()) return nullptr;
            if (index == 0 || index < cursorIndex_) {   // the writer walks the indexes in order from 0
                cursor_ = storage.begin();
                cursorIndex_ = 0;
            }
            for (; cursorIndex_ < index; ++cursorIndex_) ++cursor_;
            const auto& [key, record] = *cursor_;
            if (!record) return nullptr;
            if (filters_ != nullptr && !passes(*filters_, key, *record)) return nullptr;
            return std::make_unique<OwningProxy>(
                std::make_unique<KeyedRecord>(database_, key, record, putOnRead_, filters_));
        }

    private:
        UserDatabase& database_;
        const FilterList* filters_;
        bool putOnRead_;
        typename RecordList::Storage::iterator cursor_;
        std::size_t cursorIndex_ = 0;
    };

    static bool passes(const FilterList& filters, const Guid& key, const Record& record) {
        return std::all_of(filters.begin(), filters.end(),
                           [&](const auto& filter) { return !filter || filter->passes(key, record); });
    }

    RecordList records_;
    Guid current_;   // the current record's key; null when there is none
};

}   // namespace tarnwick
