// ConstructionMemo: the build-up of a composite structure as its attribute's extended definition holds
// it: the skins, and the lines that separate them (one before each skin and one after the last).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include <HostRecords.h>

#include "Project/Memo.h"

namespace tarnwick {

class MemoStore;

// The lists are null until read; a memo whose read failed (or that the host had none for) is loaded
// and empty: the counts are 0 and the look-ups null. Copies are deep. The composite supplies load().
class ConstructionMemo : public Memo {
public:
    // One skin: the host's record, whole.
    class Core {
    public:
        Core() = default;
        explicit Core(const host::CompositeSkin& record) : record_(record) {}
        double getThickness() const { return record_.thickness; }
        const host::CompositeSkin& getRecord() const { return record_; }
        host::CompositeSkin& getRecord() { return record_; }

    private:
        host::CompositeSkin record_{};
    };
    // One separating line: the host's record, whole.
    class Edge {
    public:
        Edge() = default;
        explicit Edge(const host::CompositeLine& record) : record_(record) {}
        const host::CompositeLine& getRecord() const { return record_; }

    private:
        host::CompositeLine record_{};
    };
    using CoreList = std::vector<std::unique_ptr<Core>>;
    using EdgeList = std::vector<std::unique_ptr<Edge>>;

    ConstructionMemo();
    ConstructionMemo(const ConstructionMemo& other);
    ConstructionMemo& operator=(const ConstructionMemo& other);
    ~ConstructionMemo() override;

    // --- Memo --------------------------------------------------------------------------------------
    bool isValid() const override { return hasLists(); }
    bool hasLists() const { return cores_ && edges_; }   // both read
    // New skin and line handles in the store (its old ones released); false without both lists.
    bool write(MemoStore& store) override;
    // Both lists from the store: n skins of 16 bytes and exactly n + 1 lines of 32. False, with no
    // lists, for anything else.
    bool read(MemoStore& store) override;

    // --- Each brings the memo up to date first ------------------------------------------------------
    std::size_t getCoreCount();
    const Core* getCore(std::size_t index);   // null when out of range
    std::size_t getEdgeCount();
    const Edge* getEdge(std::size_t index);
    // Replaces the skin at the index (the old one is freed); out of range, the skin is dropped.
    void setCore(std::unique_ptr<Core> core, std::size_t index);

private:
    void ensureLoaded() { loadOnDemand(host::kMemoFullMask); }

    std::unique_ptr<CoreList> cores_;   // null until read
    std::unique_ptr<EdgeList> edges_;
};

}   // namespace tarnwick
