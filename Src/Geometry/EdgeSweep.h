// EdgeSweep: finds whether any two edges of a set of contours touch, in O(n log n).
#pragma once

#include <cstddef>
#include <vector>

namespace tarnwick {

class CadPolygon;
class PolyEdge;

// A plane sweep after Shamos and Hoey over x-monotone pieces (straight edges, and arcs cut where their
// x is extreme). The sweep order is the pieces' y at the sweep line; each pair of pieces that becomes
// neighbouring in that order is tested, and the first contact ends the sweep. Two edges are in contact
// when they come within `tolerance` (model metres) of each other; edges that share a vertex only when
// they meet again farther than `tolerance` from it (a fold back, an overlap, an arc crossing its chord).
// A piece stays in the order up to `tolerance` past its right end, so that ends that almost meet are
// compared. The input is first turned by a fixed angle, so that no straight edge is vertical.
// Contours must be free of NaN, zero-length edges and unusable arc angles (CadPolygon::isValid tests
// those first).
class EdgeSweep {
public:
    explicit EdgeSweep(double tolerance);
    ~EdgeSweep();

    void addContour(const CadPolygon& contour);   // its outline only, closed or open as it says
    bool findContact();                           // true at the first contact

private:
    struct Edge;
    struct Piece;
    struct Order;

    void addPieces(std::size_t edge, const PolyEdge& source);
    bool touch(std::size_t first, std::size_t second) const;   // two pieces

    double tolerance_;
    double sweepX_ = 0.0;   // where the sweep line stands; read by Order
    int contours_ = 0;
    std::vector<Edge> edges_;
    std::vector<Piece> pieces_;
};

}   // namespace tarnwick
