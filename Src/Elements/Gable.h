// Gable: one gable of an element, the host's 96-byte gable record kept whole.
#pragma once

#include <array>
#include <cstddef>
#include <memory>

namespace tarnwick {

// The record's fields are the host's; the framework copies, clears and hands them back unchanged.
class Gable {
public:
    static constexpr std::size_t kRecordSize = 96;
    using Record = std::array<unsigned char, kRecordSize>;

    Gable() : record_{} {}
    explicit Gable(const Record& record) : record_(record) {}
    explicit Gable(const void* bytes);   // copies kRecordSize bytes
    Gable(const Gable&) = default;
    Gable& operator=(const Gable&) = default;
    virtual ~Gable();

    virtual std::unique_ptr<Gable> clone() const;

    const Record& getRecord() const { return record_; }
    Record& getRecord() { return record_; }

private:
    Record record_;
};

}   // namespace tarnwick
