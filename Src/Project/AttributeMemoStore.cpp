#include "Project/AttributeMemoStore.h"

#include "Environment/HostApi.h"
#include "Foundation/Memory.h"
#include "Foundation/TracedException.h"

namespace tarnwick {
namespace {

[[noreturn]] void notHeld(const char* field) {
    throw TracedException("bad_alloc", String("AttributeMemoStore::") + field);
}

host::AttributeExtension* newDefinition() {
    return reinterpret_cast<host::AttributeExtension*>(allocatePtr(sizeof(host::AttributeExtension)));
}

}   // namespace

AttributeMemoStore::AttributeMemoStore(host::AttributeExtension* definition, bool keep)
    : definition_(definition != nullptr ? definition : newDefinition()),
      keep_(definition != nullptr && keep) {}

AttributeMemoStore::~AttributeMemoStore() {
    if (keep_ || definition_ == nullptr) return;
    ExtensionDisposal{}(definition_);   // the host's disposal of the handles, then the record
}

AttributeExtensionPtr AttributeMemoStore::release() {
    if (keep_) return nullptr;   // given up already, or never ours: one owner only
    keep_ = true;
    return AttributeExtensionPtr(definition_);
}

// Fields of the extended definition, under the store's names: the handle, and its address.
#define TARNWICK_HELD(field, member)                                               \
    host::Handle AttributeMemoStore::field() const { return definition_->member; } \
    host::Handle* AttributeMemoStore::field() { return &definition_->member; }
// Fields of an element memo, which an extended definition lacks.
#define TARNWICK_NOT_HELD(field)                                        \
    host::Handle AttributeMemoStore::field() const { notHeld(#field); } \
    host::Handle* AttributeMemoStore::field() { notHeld(#field); }

TARNWICK_NOT_HELD(coords)
TARNWICK_NOT_HELD(pends)
TARNWICK_NOT_HELD(parcs)
TARNWICK_NOT_HELD(vertexIDs)
TARNWICK_HELD(parameters, parameters)   // a zone category's library-part parameters
TARNWICK_NOT_HELD(gables)
TARNWICK_NOT_HELD(roofSides)
TARNWICK_NOT_HELD(meshPolyZ)
TARNWICK_NOT_HELD(meshLevelCoords)
TARNWICK_NOT_HELD(meshLevelEnds)
TARNWICK_NOT_HELD(dimElems)
TARNWICK_NOT_HELD(bezierDirs)
TARNWICK_NOT_HELD(textContent)
TARNWICK_NOT_HELD(textLineStarts)
TARNWICK_NOT_HELD(beamHoles)
TARNWICK_NOT_HELD(linkList)
TARNWICK_NOT_HELD(pictHdl)
TARNWICK_NOT_HELD(paragraphs)
TARNWICK_NOT_HELD(drawingData)
TARNWICK_HELD(ltype_dashItems, lineTypeDashes)
TARNWICK_HELD(ltype_lineItems, lineTypeLines)
TARNWICK_HELD(fill_lineItems, fillLines)
TARNWICK_HELD(fill_lineLength, fillLineLengths)
TARNWICK_HELD(cwall_compItems, compositeSkins)
TARNWICK_HELD(cwall_compLItems, compositeLines)
TARNWICK_HELD(layer_statItems, layerStatuses)
TARNWICK_NOT_HELD(sectionLineCoords)
TARNWICK_NOT_HELD(sectionDistanceCoords)
TARNWICK_NOT_HELD(sectionDepthCoords)
TARNWICK_NOT_HELD(cWallSegments)
TARNWICK_NOT_HELD(cWallFrames)
TARNWICK_NOT_HELD(cWallPanels)
TARNWICK_NOT_HELD(cWallJunctions)
TARNWICK_NOT_HELD(cWallAccessories)
TARNWICK_NOT_HELD(cWSegGridMesh)
TARNWICK_NOT_HELD(cWSegPatternCells)
TARNWICK_NOT_HELD(cWallPanelDefaults)
TARNWICK_NOT_HELD(roofEdgeTypes)
TARNWICK_NOT_HELD(sideMaterials)
TARNWICK_NOT_HELD(additionalPolyCoords)
TARNWICK_NOT_HELD(additionalPolyPends)
TARNWICK_NOT_HELD(additionalPolyParcs)
TARNWICK_NOT_HELD(additionalPolyVertexIDs)
TARNWICK_NOT_HELD(additionalPolyEdges)
TARNWICK_NOT_HELD(shellContours)
TARNWICK_NOT_HELD(morphBody)
TARNWICK_NOT_HELD(morphMaterialMapTable)

#undef TARNWICK_HELD
#undef TARNWICK_NOT_HELD

host::Ptr AttributeMemoStore::cWSegContour() const { notHeld("cWSegContour"); }
host::Ptr* AttributeMemoStore::cWSegContour() { notHeld("cWSegContour"); }

MemoStore::PatternRecord AttributeMemoStore::cWSegPrimaryPattern() const { notHeld("cWSegPrimaryPattern"); }
MemoStore::PatternRecord* AttributeMemoStore::cWSegPrimaryPattern() { notHeld("cWSegPrimaryPattern"); }

MemoStore::PatternRecord AttributeMemoStore::cWSegSecondaryPattern() const {
    notHeld("cWSegSecondaryPattern");
}
MemoStore::PatternRecord* AttributeMemoStore::cWSegSecondaryPattern() { notHeld("cWSegSecondaryPattern"); }

MemoStore::ShellShapeBlock* AttributeMemoStore::shellShapes() { notHeld("shellShapes"); }

}   // namespace tarnwick
