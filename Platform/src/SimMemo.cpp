// An element memo's parts between the project's form and the host's record of handles and blocks.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <span>

#include "HostMemory.h"
#include "SimProject.h"
#include "SimStyledText.h"

namespace host {

const std::vector<MemoPartInfo>& memoParts() {
    using K = MemoPartInfo;
    static const std::vector<MemoPartInfo> parts = {
        {"coords", 0, K::handle, 0, kMemoPolygon},
        {"pends", 8, K::handle, 0, kMemoPolygon},
        {"parcs", 16, K::handle, 0, kMemoPolygon},
        {"vertexIDs", 24, K::handle, 0, kMemoPolygon},
        {"parameters", 48, K::handle, 0, kMemoParameters},
        {"gables", 56, K::handle, 0, kMemoGables},
        {"roofSides", 64, K::handle, 0, kMemoRoof},
        {"meshPolyZ", 72, K::handle, 0, kMemoMesh},
        {"meshLevelCoords", 80, K::handle, 0, kMemoMesh},
        {"meshLevelEnds", 88, K::handle, 0, kMemoMesh},
        {"dimElems", 96, K::handle, 0, kMemoDimensions},
        {"bezierDirs", 104, K::handle, 0, kMemoBezier},
        {"textContent", 112, K::handle, 0, kMemoText},
        {"textLineStarts", 120, K::handle, 0, kMemoText},
        {"beamHoles", 128, K::handle, 0, kMemoBeamHoles},
        {"linkList", 136, K::handle, 0, kMemoLinks},
        {"pictHdl", 144, K::handle, 0, kMemoPicture},
        {"paragraphs", 152, K::handle, 0, kMemoText},
        {"drawingData", 160, K::handle, 0, kMemoDrawing},
        {"sectionLineCoords", 200, K::handle, 0, kMemoSectionLine},
        {"sectionDistanceCoords", 208, K::handle, 0, kMemoSectionDistances},
        {"sectionDepthCoords", 216, K::handle, 0, kMemoSectionDistances},
        {"cWSegGridMesh", 240, K::handle, 0, kMemoCurtainWall},
        {"cWSegContour", 248, K::pointer, 56, kMemoCurtainWall},
        {"cWSegPrimaryPattern", 256, K::inlineBlock, 48, kMemoCurtainWall},
        {"cWSegSecondaryPattern", 304, K::inlineBlock, 48, kMemoCurtainWall},
        {"cWSegPatternCells", 352, K::handle, 0, kMemoCurtainWall},
        {"cWallSegments", 360, K::handle, 0, kMemoCurtainWall},
        {"cWallFrames", 368, K::handle, 0, kMemoCurtainWall},
        {"cWallPanels", 384, K::handle, 0, kMemoCurtainWall},
        {"cWallPanelDefaults", 400, K::handle, 0, kMemoCurtainWall},
        {"cWallJunctions", 408, K::handle, 0, kMemoCurtainWall},
        {"cWallAccessories", 416, K::handle, 0, kMemoCurtainWall},
        {"roofEdgeTypes", 992, K::handle, 0, kMemoRoof},
        {"sideMaterials", 1000, K::handle, 0, kMemoRoof},
        {"additionalPolyCoords", 1008, K::handle, 0, kMemoAdditionalPolygon},
        {"additionalPolyPends", 1016, K::handle, 0, kMemoAdditionalPolygon},
        {"additionalPolyParcs", 1024, K::handle, 0, kMemoAdditionalPolygon},
        {"additionalPolyVertexIDs", 1032, K::handle, 0, kMemoAdditionalPolygon},
        {"additionalPolyEdges", 1056, K::handle, 0, kMemoAdditionalPolygon},
        {"shellShapes", 1064, K::inlineBlock, 96, kMemoShell},
        {"shellContours", 1160, K::handle, 0, kMemoShell},
        {"morphBody", 1168, K::handle, 0, kMemoMorph},
        {"morphMaterialMapTable", 1176, K::handle, 0, kMemoMorph},
        {"info", 1184, K::handle, 0, kMemoInfo},
    };
    return parts;
}

namespace {

unsigned char* memoAt(ElementMemo& memo, std::uint16_t offset) {
    return reinterpret_cast<unsigned char*>(&memo) + offset;
}
const unsigned char* memoAt(const ElementMemo& memo, std::uint16_t offset) {
    return reinterpret_cast<const unsigned char*>(&memo) + offset;
}

template <typename T>
T pointerAt(const ElementMemo& memo, std::uint16_t offset) {
    T value;
    std::memcpy(&value, memoAt(memo, offset), sizeof value);
    return value;
}

template <typename T>
void setPointerAt(ElementMemo& memo, std::uint16_t offset, T value) {
    std::memcpy(memoAt(memo, offset), &value, sizeof value);
}

bool allZero(const unsigned char* bytes, std::size_t size) {
    return std::all_of(bytes, bytes + size, [](unsigned char b) { return b == 0; });
}

}   // namespace

Result memoToRecord(const SimMemo& parts, MemoMask mask, ElementMemo& memo) {
    std::memset(&memo, 0, sizeof memo);
    for (const MemoPartInfo& part : parts.parts.empty() ? std::span<const MemoPartInfo>() : memoParts()) {
        if (!(part.bit & mask)) continue;
        const auto found = parts.parts.find(part.offset);
        if (found == parts.parts.end()) continue;
        const std::vector<unsigned char>& bytes = found->second;
        if (part.kind == MemoPartInfo::inlineBlock) {
            std::memcpy(memoAt(memo, part.offset), bytes.data(),
                        std::min<std::size_t>(bytes.size(), part.size));
        } else if (part.kind == MemoPartInfo::pointer) {
            Ptr block = newPtr(part.size, /*clear=*/true);
            if (!block) {
                disposeMemoRecord(memo);
                return kErrMemFull;
            }
            std::memcpy(block, bytes.data(), std::min<std::size_t>(bytes.size(), part.size));
            setPointerAt(memo, part.offset, block);
        } else {
            Handle handle = nullptr;
            if (Result r = memoPartToHandle(part.offset, bytes, handle)) {
                disposeMemoRecord(memo);
                return r;
            }
            setPointerAt(memo, part.offset, handle);
        }
    }
    if (Result r = parametersToMemo(parts, mask, memo)) {
        disposeMemoRecord(memo);
        return r;
    }
    return kNoError;
}

Result memoFromRecord(const ElementMemo& memo, MemoMask mask, bool removeMissing, SimMemo& parts) {
    // The parameters move over, not copied: only their own step below changes them, as its last act,
    // so any failure (an exception too) gives them back as they were.
    SimMemo result{parts.parts, std::move(parts.parameters)};
    bool taken = false;
    const auto giveBack = [&](SimMemo*) {
        if (!taken) parts.parameters = std::move(result.parameters);
    };
    const std::unique_ptr<SimMemo, decltype(giveBack)> guard(&result, giveBack);
    for (const MemoPartInfo& part : memoParts()) {
        if (!(part.bit & mask) || part.bit == kMemoParameters) continue;   // parametersFromMemo takes those
        if (part.kind == MemoPartInfo::inlineBlock) {
            const unsigned char* bytes = memoAt(memo, part.offset);
            if (allZero(bytes, part.size))
                result.parts.erase(part.offset);
            else
                result.parts[part.offset].assign(bytes, bytes + part.size);
        } else if (part.kind == MemoPartInfo::pointer) {
            const Ptr block = pointerAt<Ptr>(memo, part.offset);
            if (!block) {
                if (removeMissing) result.parts.erase(part.offset);
                continue;
            }
            if (!isLivePtr(block)) return kErrBadHandle;
            const std::size_t size = std::min<std::size_t>(getPtrSize(block), part.size);
            std::vector<unsigned char> bytes(part.size, 0);
            std::memcpy(bytes.data(), block, size);
            result.parts[part.offset] = std::move(bytes);
        } else {
            const Handle handle = pointerAt<Handle>(memo, part.offset);
            if (!handle) {
                if (removeMissing) result.parts.erase(part.offset);
                continue;
            }
            if (Result r = memoPartFromHandle(part.offset, handle, result.parts[part.offset])) return r;
        }
    }
    if (Result r = parametersFromMemo(memo, mask, removeMissing, result)) return r;
    taken = true;
    parts = std::move(result);
    return kNoError;
}

Result disposeMemoRecord(ElementMemo& memo) {
    Result result = kNoError;
    for (const MemoPartInfo& part : memoParts()) {
        if (part.kind == MemoPartInfo::inlineBlock || !pointerAt<void*>(memo, part.offset)) continue;
        const Result r = part.kind == MemoPartInfo::pointer ? disposePtr(pointerAt<Ptr>(memo, part.offset))
                         : part.bit == kMemoParameters   // parameter records release their arrays too
                             ? disposeParameterHandle(pointerAt<Handle>(memo, part.offset))
                             : disposeMemoPart(part.offset, pointerAt<Handle>(memo, part.offset));
        if (r != kNoError && result == kNoError) result = r;
    }
    std::memset(&memo, 0, sizeof memo);
    return result;
}

}   // namespace host
