#include "LibraryParts/PrimitiveBody.h"

#include <cstdlib>
#include <ostream>
#include <vector>

#include "Geometry/Tolerance.h"
#include "LibraryParts/ScriptWriter.h"
#include "Project/AttributeLink.h"
#include "Project/Finish.h"
#include "Project/Pen.h"

namespace tarnwick {
namespace {
// Status bits added to what the host holds, so that the script's bodies keep the host's drawing.
constexpr std::uint32_t kEdgeInvisibleUnlessContour = 0x40000;   // added when bit 2 is clear
constexpr std::uint32_t kEdgeVisibleIfContour = 2;
constexpr std::uint32_t kFaceStatusBits = 0x40042;
constexpr std::uint32_t kBodyStatusBits = 0x40020;
constexpr std::size_t kEdgesPerLine = 4;
constexpr int kEdgePenSlot = 1;   // the tracker's pen slot of body edges

std::int32_t polygonNumber(std::int32_t polygon) {   // 1-based; 0 when there is none
    return polygon == Edge::kNoPolygon || polygon < 0 ? 0 : polygon + 1;
}

// The number of the normal among those gathered, added when new; negative when it points the other way.
std::int32_t normalNumber(std::vector<Vector3>& normals, const Vector3& normal) {
    const Vector3 unit = normal.normalised();
    for (std::size_t i = 0; i < normals.size(); ++i) {
        if (!normals[i].isParallel(unit, Tolerance::angle)) continue;
        const auto number = static_cast<std::int32_t>(i + 1);
        return normals[i].isSameSense(unit, Tolerance::angle) ? number : -number;
    }
    normals.push_back(unit);
    return static_cast<std::int32_t>(normals.size());
}

void writeBody(std::ostream& out, AttributeTracker* tracker, const Body& body, const CadPoint& offset,
               int indentation) {
    for (std::size_t v = 0; v < body.getVertexCount(); ++v) {
        ScriptWriter::writeIndentation(out, indentation);
        out << "vert ";
        ScriptWriter::writeCoordinates3D(out, *body.getVertex(v), offset, /*moreFollows=*/false);
        out << '\n';
    }
    for (std::size_t e = 0; e < body.getEdgeCount(); ++e) {
        const Edge::Data edge = *body.getEdge(e);
        std::uint32_t status = edge.status;
        if ((status & kEdgeVisibleIfContour) == 0) status |= kEdgeInvisibleUnlessContour;
        if (tracker != nullptr)
            ScriptWriter::writeAttribute(Pen(AttributeLink(edge.pen, AttributeType::pen)), out, tracker,
                                         indentation, kEdgePenSlot, /*onlyWhenChanged=*/true,
                                         /*asLine=*/true);
        ScriptWriter::writeIndentation(out, indentation);
        out << "edge " << edge.vertex1 + 1 << ", " << edge.vertex2 + 1 << ", " << polygonNumber(edge.polygon1)
            << ", " << polygonNumber(edge.polygon2) << ", " << status << '\n';
    }
    std::vector<Vector3> normals;
    std::vector<std::int32_t> faceNormals;
    for (std::size_t f = 0; f < body.getPolygonCount(); ++f)
        faceNormals.push_back(normalNumber(normals, body.getFace(f)->normal));
    for (const Vector3& normal : normals) {
        ScriptWriter::writeIndentation(out, indentation);
        out << "vect ";
        ScriptWriter::writeCoordinates3D(out, normal.toPoint(), CadPoint(), /*moreFollows=*/false);
        out << '\n';
    }
    for (std::size_t f = 0; f < body.getPolygonCount(); ++f) {
        const Face::Data face = *body.getFace(f);
        if (tracker != nullptr)
            ScriptWriter::writeAttribute(Finish(AttributeLink(face.material, AttributeType::finish)), out,
                                         tracker, indentation, /*penSlot=*/0, /*onlyWhenChanged=*/true,
                                         /*asLine=*/true);
        ScriptWriter::writeIndentation(out, indentation);
        out << "pgon " << face.getEdgeCount() << ", " << faceNormals[f] << ", "
            << (face.status | kFaceStatusBits);
        for (std::size_t i = 0; i < face.getEdgeCount(); ++i) {
            out << ", ";
            if (i % kEdgesPerLine == 0) {
                out << '\n';
                ScriptWriter::writeIndentation(out, indentation + 2);
            }
            const std::int32_t reference = face.edges[i];
            out << (Face::Data::isReversed(reference) ? -(Face::Data::edgeIndex(reference) + 1)
                                                      : reference + 1);
        }
        out << '\n';
    }
    ScriptWriter::writeIndentation(out, indentation);
    out << "body " << (body.getStatus() | kBodyStatusBits) << '\n';
}
}   // namespace

std::unique_ptr<Cube> PrimitiveBody::getBounds() const {
    const std::optional<Cube> bounds = element_ ? element_->getBounds() : std::nullopt;
    return std::make_unique<Cube>(bounds ? *bounds : Cube());
}

bool PrimitiveBody::write3D(std::ostream& out, AttributeTracker* tracker, const CadPoint& offset,
                            int indentation) const {
    if (!isIn3D() || !element_) return true;
    for (std::size_t b = 0; b < element_->getBodyCount(); ++b) {
        const Body body = element_->getBody(b);
        if (!body.isEmpty()) writeBody(out, tracker, body, offset, indentation);
    }
    return ScriptWriter::isGood(out);
}

}   // namespace tarnwick
