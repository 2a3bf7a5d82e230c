// Memo: the base of memo-backed data (layer maps, section lines, gables, polygons, parameters), read
// from and written to the host's memo records through a MemoStore.
#pragma once

#include <cstdint>
#include <memory>

namespace tarnwick {

class MemoStore;

// A memo is loaded once (load sets the loaded flag) and then valid while it holds data.
class Memo {
public:
    Memo() = default;
    Memo(const Memo& other) = default;   // copies the loaded flag
    Memo& operator=(const Memo& other) = default;
    virtual ~Memo();

    // Virtual operations, in the order of the interface.
    // Carries changes from one memo into another; nothing here (a kind that can, overrides it).
    virtual void update(Memo& newMemo, Memo& oldMemo);
    virtual bool isValid() const = 0;   // whether the memo holds data
    // True at once when loaded and valid; else load(mask, no store) runs and a store it made is
    // destroyed right after. Then: loaded and valid.
    virtual bool loadOnDemand(std::uint64_t mask);
    // Fetches the record from the host when store is empty (making a store for it, which the caller then
    // owns), reads from it and sets the loaded flag. False when the host or the read fails.
    virtual bool load(std::uint64_t mask, std::unique_ptr<MemoStore>& store) = 0;
    virtual bool write(MemoStore& store) = 0;   // puts this memo's data into the store's handles
    virtual bool read(MemoStore& store) = 0;    // takes this memo's data from the store's handles

    bool isLoaded() const { return loaded_; }

protected:
    void setLoaded(bool loaded) { loaded_ = loaded; }

private:
    bool loaded_ = false;
};

}   // namespace tarnwick
