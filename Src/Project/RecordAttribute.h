// RecordAttribute: the part every attribute kind with a host record shares: the owned record, loaded
// from the owner Specification on first use, deep copies, and the definition made from it.
#pragma once

#include <cstring>
#include <memory>
#include <type_traits>
#include <typeinfo>

#include <HostRecords.h>

#include "Project/Attribute.h"

namespace tarnwick {

// What a record points to beyond itself goes with the record: copied when the record is copied, disposed
// of when it goes. Most records point to nothing.
template <class Record>
struct RecordParts {
    static void copy(Record&) {}
    static void dispose(Record&) {}
};
// A surface material's texture location (see Finish).
template <>
struct RecordParts<host::SurfaceMaterialRecord> {
    static void copy(host::SurfaceMaterialRecord& record);   // a new location; throws std::bad_alloc
    static void dispose(host::SurfaceMaterialRecord& record);
};
// A definition the host filled owns those parts: disposes of them once a wrapper has taken its copies.
void disposeDefinitionParts(host::AttributeDefinition& definition);

// Record starts with a host::AttributeHeader named `header` and is at most a whole definition. A kind
// derives from RecordAttribute<Record> and overrides resetRecord for its defaults.
template <class Record>
class RecordAttribute : public Attribute {
    static_assert(std::is_trivially_copyable_v<Record>);
    static_assert(sizeof(Record) <= sizeof(host::AttributeDefinition));
    static_assert(offsetof(Record, header) == 0);

public:
    const host::AttributeHeader& getRecord() const override { return record().header; }
    host::AttributeHeader& getRecord() override { return record().header; }

    std::unique_ptr<host::AttributeDefinition> copyDefinition() const override {
        auto definition = std::make_unique<host::AttributeDefinition>();   // zeroed
        std::memcpy(definition.get(), &record(), sizeof(Record));
        return definition;
    }

protected:
    RecordAttribute(const AttributeLink& link, AttributeType type) : Attribute(link, type) {}
    // The creators': the record's part of the definition copied.
    RecordAttribute(const host::AttributeDefinition& definition, const AttributeLink& link,
                    AttributeType type)
        : Attribute(link, type) {
        Record copy;
        std::memcpy(&copy, &definition, sizeof(Record));
        record_ = copyOf(copy);
    }
    RecordAttribute(const RecordAttribute& other)
        : Attribute(other), record_(other.record_ ? copyOf(*other.record_) : nullptr) {}
    RecordAttribute& operator=(const RecordAttribute& other) {
        if (this == &other) return *this;
        Attribute::operator=(other);
        record_ = other.record_ ? copyOf(*other.record_) : nullptr;
        return *this;
    }

    // The record, loaded when missing: copied from the owner's attribute of this link when it is of
    // this class; else reset (a failed load when the link names a host attribute).
    Record& record() const {
        if (record_) return *record_;
        if (std::unique_ptr<Attribute> fetched = fetchFromOwner()) {
            auto& same = static_cast<RecordAttribute&>(*fetched);   // fetchFromOwner checked the class
            record_ = same.record_ ? std::move(same.record_) : copyOf(same.record());
            setLoadFailed(false);
            return *record_;
        }
        const bool failed = expectsHostRecord();
        record_.reset(new Record());   // zeroed
        setLoadFailed(failed);
        resetRecord(*record_, failed);
        return *record_;
    }
    bool hasRecord() const { return record_ != nullptr; }

    // A kind's defaults in a zeroed record. `failed`: the host attribute could not be read, so the link
    // must stay (a kind that makes itself a new attribute does so only when not failed).
    virtual void resetRecord(Record& record, bool failed) const = 0;

private:
    struct Disposer {
        void operator()(Record* record) const {
            RecordParts<Record>::dispose(*record);
            delete record;
        }
    };
    using RecordPtr = std::unique_ptr<Record, Disposer>;

    static RecordPtr copyOf(const Record& record) {
        RecordPtr copy(new Record(record));
        try {
            RecordParts<Record>::copy(*copy);
        } catch (...) {   // the copy does not own the original's parts
            *copy = Record();
            throw;
        }
        return copy;
    }

    mutable RecordPtr record_;
};

}   // namespace tarnwick
