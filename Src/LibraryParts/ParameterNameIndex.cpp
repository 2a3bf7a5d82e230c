#include "LibraryParts/ParameterNameIndex.h"

#include <cstring>
#include <string_view>
#include <utility>

namespace tarnwick {
namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101u;
constexpr std::uint64_t kHighBits = 0x8080808080808080u;

// Up to eight bytes of the text from the offset, zero-padded.
std::uint64_t wordAt(std::string_view text, std::size_t offset) {
    std::uint64_t word = 0;
    if (text.size() - offset >= 8) {
        std::memcpy(&word, text.data() + offset, 8);
        return word;
    }
    for (std::size_t i = offset; i < text.size(); ++i)
        word |= std::uint64_t{static_cast<unsigned char>(text[i])} << (8 * (i - offset));
    return word;
}

bool isAscii(std::string_view text) {
    std::uint64_t any = 0;
    for (std::size_t i = 0; i < text.size(); i += 8) any |= wordAt(text, i);
    return (any & kHighBits) == 0;
}

// The letters A to Z of a word of ASCII bytes lower-cased, eight bytes at once: no byte carries into the
// next, as none is above 0x7F.
std::uint64_t foldWord(std::uint64_t word) {
    const std::uint64_t fromA = word + kOnes * (0x80 - 'A');
    const std::uint64_t pastZ = word + kOnes * (0x80 - 'Z' - 1);
    return word | (((fromA & ~pastZ) & kHighBits) >> 2);
}

// The hash of a text's bytes, those of an ASCII text lower-cased on the way when fold is set: the same
// as the hash of the lower-cased text.
std::uint32_t hashText(std::string_view text, bool fold) {
    std::uint64_t hash = 0x9E3779B97F4A7C15u * (text.size() + 1);
    for (std::size_t i = 0; i < text.size(); i += 8) {
        const std::uint64_t word = wordAt(text, i);
        hash = (hash ^ (fold ? foldWord(word) : word)) * 0xBF58476D1CE4E5B9u;
        hash ^= hash >> 31;
    }
    hash *= 0x94D049BB133111EBu;
    return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

std::size_t capacityFor(std::size_t count) {
    std::size_t capacity = 16;
    while (capacity * 3 < count * 4) capacity *= 2;
    return capacity;
}

}   // namespace

std::string ParameterNameIndex::lowerCased(const String& name) {
    const std::string_view text = name.getView();
    if (isAscii(text)) {
        std::string lower(text);
        for (char& c : lower)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return lower;
    }
    return std::string(name.toLower().getView());
}

ParameterNameIndex::ParameterNameIndex(const ParameterList& list, bool ignoreCase)
    : list_(list), ignoreCase_(ignoreCase), storage_(takeStorage()) {
    const ParameterVector& parameters = *list.parameters_;
    const std::size_t count = parameters.size();
    storage_.slots.assign(capacityFor(count), Slot{});
    storage_.keys.reserve(count);
    storage_.marked.reserve(count);
    storage_.keyOf.assign(count, kNone);
    storage_.next.assign(count, kNone);
    storage_.erased.assign(count, 0);
    // The names are hashed in one walk of the list and filed in a second, each slot asked for ahead of its
    // use: neither walk then waits for memory at every name.
    std::vector<std::uint32_t>& hashes = storage_.hashes;
    hashes.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        prefetch(list, i + kPrefetchDistance, kNameBytes);
        if (const Parameter* parameter = parameters[i]) hashes[i] = hashOf(parameter->getName());
    }
    const std::size_t mask = storage_.slots.size() - 1;
    for (std::size_t i = 0; i < count; ++i) {
        if (i + kPrefetchDistance < count)
            __builtin_prefetch(&storage_.slots[hashes[i + kPrefetchDistance] & mask]);
        if (const Parameter* parameter = parameters[i])
            insert(parameter->getName(), hashes[i], static_cast<std::uint32_t>(i));
    }
}

ParameterNameIndex::~ParameterNameIndex() { giveBack(std::move(storage_)); }

void ParameterNameIndex::prefetch(const ParameterList& list, std::uint64_t position, std::size_t bytes) {
    const ParameterVector& parameters = *list.parameters_;
    if (position >= parameters.size()) return;
    const char* const parameter = reinterpret_cast<const char*>(parameters[position]);
    if (parameter == nullptr) return;
    for (std::size_t offset = 0; offset < bytes; offset += 64) __builtin_prefetch(parameter + offset);
}

// --- Lookup ----------------------------------------------------------------------------------------
std::uint64_t ParameterNameIndex::first(const String& name) const {
    const Slot& slot = storage_.slots[slotOf(name, hashOf(name))];
    if (slot.key == 0) return ParameterList::kNotFound;
    const std::uint32_t position = storage_.keys[slot.key - 1].first;
    return position == kNone ? ParameterList::kNotFound : position;
}

bool ParameterNameIndex::holdsFirst(std::uint64_t position, const String& name) const {
    if (position >= storage_.keyOf.size()) return false;
    const std::uint32_t key = storage_.keyOf[position];
    // The key's first position is never an erased one, nor one of another name.
    return key != kNone && storage_.keys[key].first == position &&
           sameName((*list_.parameters_)[position]->getName(), name);
}

std::uint32_t ParameterNameIndex::hashOf(const String& name) const {
    const std::string_view text = name.getView();
    if (!ignoreCase_) return hashText(text, false);
    if (isAscii(text)) return hashText(text, true);
    return hashText(lowerCased(name), false);
}

bool ParameterNameIndex::sameName(const String& held, const String& name) const {
    const std::string_view a = held.getView();
    const std::string_view b = name.getView();
    if (a == b) return true;
    if (!ignoreCase_) return false;
    if (!isAscii(a) || !isAscii(b)) return lowerCased(held) == lowerCased(name);
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); i += 8)
        if (foldWord(wordAt(a, i)) != foldWord(wordAt(b, i))) return false;
    return true;
}

std::size_t ParameterNameIndex::slotOf(const String& name, std::uint32_t hash) const {
    const std::size_t mask = storage_.slots.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const Slot& held = storage_.slots[slot];
        if (held.key == 0) return slot;
        if (held.hash == hash &&
            sameName((*list_.parameters_)[storage_.keys[held.key - 1].origin]->getName(), name))
            return slot;
    }
}

// --- Changes ---------------------------------------------------------------------------------------
void ParameterNameIndex::add(const String& name, std::uint64_t position) {
    if (position >= storage_.keyOf.size()) {
        storage_.keyOf.resize(position + 1, kNone);
        storage_.next.resize(position + 1, kNone);
        storage_.erased.resize(position + 1, 0);
    }
    insert(name, hashOf(name), static_cast<std::uint32_t>(position));
}

void ParameterNameIndex::insert(const String& name, std::uint32_t hash, std::uint32_t position) {
    if ((storage_.keys.size() + 1) * 4 > storage_.slots.size() * 3) rehash(storage_.slots.size() * 2);
    Slot& slot = storage_.slots[slotOf(name, hash)];
    if (slot.key == 0) {
        storage_.keys.push_back({hash, position, position, position});
        storage_.marked.push_back(0);
        slot = {hash, static_cast<std::uint32_t>(storage_.keys.size())};
        storage_.keyOf[position] = slot.key - 1;
        return;
    }
    Key& key = storage_.keys[slot.key - 1];
    if (key.first == kNone)
        key.first = position;
    else
        storage_.next[key.last] = position;
    key.last = position;
    storage_.keyOf[position] = slot.key - 1;
}

void ParameterNameIndex::eraseFirst(std::uint64_t position) {
    Key& key = storage_.keys[storage_.keyOf[position]];
    storage_.erased[position] = 1;
    ++erasures_;
    if (key.first == key.last) key.last = kNone;
    key.first = storage_.next[position];
}

void ParameterNameIndex::mark(std::uint64_t position) { storage_.marked[storage_.keyOf[position]] = 1; }

bool ParameterNameIndex::isMarked(std::uint64_t position) const {
    const std::uint32_t key = position < storage_.keyOf.size() ? storage_.keyOf[position] : kNone;
    return key != kNone && storage_.marked[key] != 0;
}

void ParameterNameIndex::rehash(std::size_t capacity) {
    storage_.slots.assign(capacity, Slot{});
    for (std::size_t i = 0; i < storage_.keys.size(); ++i) {
        std::size_t slot = storage_.keys[i].hash & (capacity - 1);
        while (storage_.slots[slot].key != 0) slot = (slot + 1) & (capacity - 1);
        storage_.slots[slot] = {storage_.keys[i].hash, static_cast<std::uint32_t>(i + 1)};
    }
}

// --- Storage ---------------------------------------------------------------------------------------
// An update builds two indexes. Their blocks are kept for the thread's next update: for long lists they
// are large enough for the allocator to map fresh pages each time, and faulting those in cost more than
// the update's own work.
namespace {
constexpr std::size_t kSpareStorages = 2;
constexpr std::size_t kLargestKeptKeys = std::size_t{1} << 18;
}   // namespace

std::vector<ParameterNameIndex::Storage>& ParameterNameIndex::spares() {
    thread_local std::vector<Storage> kept;
    return kept;
}

ParameterNameIndex::Storage ParameterNameIndex::takeStorage() {
    std::vector<Storage>& kept = spares();
    if (kept.empty()) return {};
    Storage storage = std::move(kept.back());
    kept.pop_back();
    return storage;
}

void ParameterNameIndex::giveBack(Storage&& storage) noexcept {
    std::vector<Storage>& kept = spares();
    if (kept.size() >= kSpareStorages || storage.keys.capacity() > kLargestKeptKeys) return;
    storage.keys.clear();
    storage.marked.clear();
    storage.keyOf.clear();
    storage.next.clear();
    storage.erased.clear();
    try {
        kept.push_back(std::move(storage));
    } catch (...) {   // no room to keep it: it is freed
    }
}

}   // namespace tarnwick
