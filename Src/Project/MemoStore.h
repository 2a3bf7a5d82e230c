// MemoStore: one interface to the host's variable-length record parts (the handles of an element memo
// or of an attribute's extended definition), so that memo-backed data reads and writes them without
// knowing which record stands behind it.
#pragma once

#include <array>
#include <cstdint>

#include <HostMemory.h>

namespace tarnwick {

// The fields, in accessor order: X(name). Every field has a const accessor (the handle, a value) and
// then a mutable one (the address of the handle inside the record, to replace or allocate it); the
// exceptions are listed apart below the list. A store whose record does not hold a field throws
// TracedException "bad_alloc" from both accessors, with the place "<store class>::<field>".
// clang-format off
#define TARNWICK_MEMO_HANDLES_A(X)                                                                        \
    X(coords) X(pends) X(parcs) X(vertexIDs) X(parameters) X(gables) X(roofSides) X(meshPolyZ)             \
    X(meshLevelCoords) X(meshLevelEnds) X(dimElems) X(bezierDirs) X(textContent) X(textLineStarts)         \
    X(beamHoles) X(linkList) X(pictHdl) X(paragraphs) X(drawingData) X(ltype_dashItems)                    \
    X(ltype_lineItems) X(fill_lineItems) X(fill_lineLength) X(cwall_compItems) X(cwall_compLItems)         \
    X(layer_statItems) X(sectionLineCoords) X(sectionDistanceCoords) X(sectionDepthCoords)
// cWSegContour sits between the two runs: a pointer to a 56-byte block, allocated lazily.
#define TARNWICK_MEMO_HANDLES_B(X)                                                                        \
    X(cWallSegments) X(cWallFrames) X(cWallPanels) X(cWallJunctions) X(cWallAccessories) X(cWSegGridMesh)
// cWSegPrimaryPattern and cWSegSecondaryPattern follow: inline 48-byte records.
#define TARNWICK_MEMO_HANDLES_C(X)                                                                        \
    X(cWSegPatternCells) X(cWallPanelDefaults) X(roofEdgeTypes) X(sideMaterials) X(additionalPolyCoords)   \
    X(additionalPolyPends) X(additionalPolyParcs) X(additionalPolyVertexIDs) X(additionalPolyEdges)
// shellShapes follows: an inline 96-byte block with a mutable accessor only.
#define TARNWICK_MEMO_HANDLES_D(X) X(shellContours) X(morphBody) X(morphMaterialMapTable)
// clang-format on

// Abstract; holds no data. Deleting a store through this interface releases its record as the kind says.
class MemoStore {
public:
    using PatternRecord = std::array<unsigned char, 48>;     // a curtain-wall segment pattern
    using ShellShapeBlock = std::array<unsigned char, 96>;   // the shell-shape block

    virtual ~MemoStore();

#define TARNWICK_MEMO_ACCESSORS(field)      \
    virtual host::Handle field() const = 0; \
    virtual host::Handle* field() = 0;
    TARNWICK_MEMO_HANDLES_A(TARNWICK_MEMO_ACCESSORS)
    virtual host::Ptr cWSegContour() const = 0;
    virtual host::Ptr* cWSegContour() = 0;   // allocates the zeroed 56-byte block when there is none
    TARNWICK_MEMO_HANDLES_B(TARNWICK_MEMO_ACCESSORS)
    virtual PatternRecord cWSegPrimaryPattern() const = 0;   // a copy
    virtual PatternRecord* cWSegPrimaryPattern() = 0;        // inside the record
    virtual PatternRecord cWSegSecondaryPattern() const = 0;
    virtual PatternRecord* cWSegSecondaryPattern() = 0;
    TARNWICK_MEMO_HANDLES_C(TARNWICK_MEMO_ACCESSORS)
    virtual ShellShapeBlock* shellShapes() = 0;   // inside the record
    TARNWICK_MEMO_HANDLES_D(TARNWICK_MEMO_ACCESSORS)
#undef TARNWICK_MEMO_ACCESSORS
};

}   // namespace tarnwick
