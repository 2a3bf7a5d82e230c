#include "Project/ElementMemoStore.h"

#include <cstring>

#include <HostResult.h>

#include "Environment/HostApi.h"
#include "Foundation/Memory.h"
#include "Foundation/TracedException.h"

namespace tarnwick {
namespace {

constexpr std::size_t kContourBlockSize = 56;   // the curtain-wall segment contour block

[[noreturn]] void notHeld(const char* field) {
    throw TracedException("bad_alloc", String("ElementMemoStore::") + field);
}

host::ElementMemo* newMemo() {
    return reinterpret_cast<host::ElementMemo*>(allocatePtr(sizeof(host::ElementMemo)));
}

}   // namespace

ElementMemoStore::ElementMemoStore(host::ElementMemo* memo, bool keep)
    : memo_(memo != nullptr ? memo : newMemo()), keep_(memo != nullptr && keep) {}

ElementMemoStore::~ElementMemoStore() {
    if (keep_ || memo_ == nullptr) return;
    // Its handles and the contour block; when the host refuses, they go back to the memory manager all
    // the same, the parameters' array handles with them.
    if (hostApi().call<host::HostSlot::disposeElementMemo>(memo_) != host::kNoError) releaseHandles(*memo_);
    disposePtr(reinterpret_cast<host::Ptr>(memo_));
}

void ElementMemoStore::releaseHandles(host::ElementMemo& memo) {
    if (memo.parameters != nullptr) {
        const std::size_t count = getHandleSize(memo.parameters) / sizeof(host::ParameterRecord);
        auto* records = reinterpret_cast<host::ParameterRecord*>(*memo.parameters);
        for (std::size_t i = 0; i < count; ++i)
            if (records[i].modifier == host::kParameterArray) disposeHandle(records[i].value.array);
    }
    for (host::Handle* handle : {&memo.coords,
                                 &memo.pends,
                                 &memo.parcs,
                                 &memo.vertexIDs,
                                 &memo.parameters,
                                 &memo.gables,
                                 &memo.roofSides,
                                 &memo.meshPolyZ,
                                 &memo.meshLevelCoords,
                                 &memo.meshLevelEnds,
                                 &memo.dimElems,
                                 &memo.bezierDirs,
                                 &memo.textContent,
                                 &memo.textLineStarts,
                                 &memo.beamHoles,
                                 &memo.linkList,
                                 &memo.pictHdl,
                                 &memo.paragraphs,
                                 &memo.drawingData,
                                 &memo.sectionLineCoords,
                                 &memo.sectionDistanceCoords,
                                 &memo.sectionDepthCoords,
                                 &memo.cWSegGridMesh,
                                 &memo.cWSegPatternCells,
                                 &memo.cWallSegments,
                                 &memo.cWallFrames,
                                 &memo.cWallPanels,
                                 &memo.cWallPanelDefaults,
                                 &memo.cWallJunctions,
                                 &memo.cWallAccessories,
                                 &memo.roofEdgeTypes,
                                 &memo.sideMaterials,
                                 &memo.additionalPolyCoords,
                                 &memo.additionalPolyPends,
                                 &memo.additionalPolyParcs,
                                 &memo.additionalPolyVertexIDs,
                                 &memo.additionalPolyEdges,
                                 &memo.shellContours,
                                 &memo.morphBody,
                                 &memo.morphMaterialMapTable,
                                 &memo.elementInfo})
        disposeHandle(*handle);
    disposePtr(memo.cWSegContour);
    memo.cWSegContour = nullptr;
}

host::ElementMemo* ElementMemoStore::release() {
    keep_ = true;
    return memo_;
}

// Fields of the element memo: the handle, and its address for replacing it.
#define TARNWICK_HELD(field)                                              \
    host::Handle ElementMemoStore::field() const { return memo_->field; } \
    host::Handle* ElementMemoStore::field() { return &memo_->field; }
// Fields of an attribute's extended definition, which an element memo lacks.
#define TARNWICK_NOT_HELD(field)                                      \
    host::Handle ElementMemoStore::field() const { notHeld(#field); } \
    host::Handle* ElementMemoStore::field() { notHeld(#field); }

TARNWICK_HELD(coords)
TARNWICK_HELD(pends)
TARNWICK_HELD(parcs)
TARNWICK_HELD(vertexIDs)
TARNWICK_HELD(parameters)
TARNWICK_HELD(gables)
TARNWICK_HELD(roofSides)
TARNWICK_HELD(meshPolyZ)
TARNWICK_HELD(meshLevelCoords)
TARNWICK_HELD(meshLevelEnds)
TARNWICK_HELD(dimElems)
TARNWICK_HELD(bezierDirs)
TARNWICK_HELD(textContent)
TARNWICK_HELD(textLineStarts)
TARNWICK_HELD(beamHoles)
TARNWICK_HELD(linkList)
TARNWICK_HELD(pictHdl)
TARNWICK_HELD(paragraphs)
TARNWICK_HELD(drawingData)
TARNWICK_NOT_HELD(ltype_dashItems)
TARNWICK_NOT_HELD(ltype_lineItems)
TARNWICK_NOT_HELD(fill_lineItems)
TARNWICK_NOT_HELD(fill_lineLength)
TARNWICK_NOT_HELD(cwall_compItems)
TARNWICK_NOT_HELD(cwall_compLItems)
TARNWICK_NOT_HELD(layer_statItems)
TARNWICK_HELD(sectionLineCoords)
TARNWICK_HELD(sectionDistanceCoords)
TARNWICK_HELD(sectionDepthCoords)
TARNWICK_HELD(cWallSegments)
TARNWICK_HELD(cWallFrames)
TARNWICK_HELD(cWallPanels)
TARNWICK_HELD(cWallJunctions)
TARNWICK_HELD(cWallAccessories)
TARNWICK_HELD(cWSegGridMesh)
TARNWICK_HELD(cWSegPatternCells)
TARNWICK_HELD(cWallPanelDefaults)
TARNWICK_HELD(roofEdgeTypes)
TARNWICK_HELD(sideMaterials)
TARNWICK_HELD(additionalPolyCoords)
TARNWICK_HELD(additionalPolyPends)
TARNWICK_HELD(additionalPolyParcs)
TARNWICK_HELD(additionalPolyVertexIDs)
TARNWICK_HELD(additionalPolyEdges)
TARNWICK_HELD(shellContours)
TARNWICK_HELD(morphBody)
TARNWICK_HELD(morphMaterialMapTable)

#undef TARNWICK_HELD
#undef TARNWICK_NOT_HELD

host::Ptr ElementMemoStore::cWSegContour() const { return memo_->cWSegContour; }

// The block is the host's memo disposal's to free, so it comes from the same pointer allocator.
host::Ptr* ElementMemoStore::cWSegContour() {
    if (memo_->cWSegContour == nullptr) memo_->cWSegContour = allocatePtr(kContourBlockSize);
    return &memo_->cWSegContour;
}

namespace {
static_assert(sizeof(MemoStore::PatternRecord) == sizeof(host::ElementMemo::cWSegPrimaryPattern));
static_assert(sizeof(MemoStore::ShellShapeBlock) == sizeof(host::ElementMemo::shellShapes));

template <typename Block, std::size_t N>
Block copyOf(const std::uint8_t (&bytes)[N]) {
    Block block;
    std::memcpy(block.data(), bytes, N);
    return block;
}
}   // namespace

MemoStore::PatternRecord ElementMemoStore::cWSegPrimaryPattern() const {
    return copyOf<PatternRecord>(memo_->cWSegPrimaryPattern);
}

MemoStore::PatternRecord* ElementMemoStore::cWSegPrimaryPattern() {
    return reinterpret_cast<PatternRecord*>(memo_->cWSegPrimaryPattern);
}

MemoStore::PatternRecord ElementMemoStore::cWSegSecondaryPattern() const {
    return copyOf<PatternRecord>(memo_->cWSegSecondaryPattern);
}

MemoStore::PatternRecord* ElementMemoStore::cWSegSecondaryPattern() {
    return reinterpret_cast<PatternRecord*>(memo_->cWSegSecondaryPattern);
}

MemoStore::ShellShapeBlock* ElementMemoStore::shellShapes() {
    return reinterpret_cast<ShellShapeBlock*>(memo_->shellShapes);
}

}   // namespace tarnwick
