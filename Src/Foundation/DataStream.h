// DataStream: the 16-bit stream-state word shared, as a virtual base, by the buffered reader and writer
// (and by readers layered over them, which copy the state of their source after every read).
#pragma once

#include <cstdint>

namespace tarnwick {

// Bits 1 and 4 stop reading; bit 2 only records that a typed read refused its text.
class DataStream {
public:
    enum StateBit : std::uint16_t {
        kGood = 0x0000,
        kEndOfData = 0x0001,   // the source has no more bytes; stops reading
        kBadData = 0x0002,     // a typed read met malformed or truncated text, or a real to write had
                               // no text (not finite); stays set and does not stop reading
        kFailed = 0x0004,      // the source or sink failed, is missing, or the input is unusable
                               // (over-long token or list); stops reading and writing
    };
    static constexpr std::uint16_t kStopReading = kEndOfData | kFailed;

    virtual ~DataStream() = default;

    std::uint16_t getState() const { return state_; }
    void setState(std::uint16_t state) { state_ = state; }
    void addState(std::uint16_t bits) { state_ = static_cast<std::uint16_t>(state_ | bits); }
    void clearState() { state_ = kGood; }

    bool isGood() const { return state_ == kGood; }
    bool canRead() const { return (state_ & kStopReading) == 0; }   // neither bit 1 nor bit 4
    bool hasFailed() const { return (state_ & kFailed) != 0; }

protected:
    DataStream() = default;
    DataStream(const DataStream&) = default;
    DataStream& operator=(const DataStream&) = default;

private:
    std::uint16_t state_ = kGood;
};

}   // namespace tarnwick
