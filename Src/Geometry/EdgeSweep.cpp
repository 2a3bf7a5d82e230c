#include "Geometry/EdgeSweep.h"

#include <algorithm>
#include <cmath>
#include <memory_resource>
#include <numbers>
#include <set>

#include "Geometry/CadPolygon.h"
#include "Geometry/PolyEdge.h"
#include "Geometry/Tolerance.h"

namespace tarnwick {
namespace {
constexpr double kTurn = 2.0 * std::numbers::pi;
constexpr double kHalfTurn = std::numbers::pi;
// The input is turned by this angle before the sweep: any value works; one that no drawing uses keeps
// straight edges off the vertical, where y at the sweep line is not a function.
constexpr double kSweepAngle = 0.3968502629920499;

struct P {
    double x = 0.0;
    double y = 0.0;
};
P operator-(P a, P b) { return {a.x - b.x, a.y - b.y}; }
P operator+(P a, P b) { return {a.x + b.x, a.y + b.y}; }
P operator*(P a, double f) { return {a.x * f, a.y * f}; }
double dot(P a, P b) { return a.x * b.x + a.y * b.y; }
double cross(P a, P b) { return a.x * b.y - a.y * b.x; }
double distance(P a, P b) { return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y)); }
double norm(P v) { return std::sqrt(v.x * v.x + v.y * v.y); }

P turned(const CadPoint& point) {
    static const double c = std::cos(kSweepAngle), s = std::sin(kSweepAngle);
    return {point.getX() * c - point.getY() * s, point.getX() * s + point.getY() * c};
}

// The offset of `angle` from `from`, counter-clockwise, in [0, 2 pi).
double offsetFrom(double from, double angle) {
    double d = std::fmod(angle - from, kTurn);
    if (d < 0.0) d += kTurn;
    return d >= kTurn ? 0.0 : d;
}
}   // namespace

struct EdgeSweep::Edge {
    int contour = 0;
    std::size_t index = 0;   // in its contour
    std::size_t contourSize = 0;
    bool closed = true;
    P begin, end;
};

// An x-monotone piece of an edge: a segment, or an arc within a half circle (upper: angles in
// [0, pi], where x falls as the angle grows; lower: [pi, 2 pi]).
struct EdgeSweep::Piece {
    // What the sweep order reads comes first, to share cache lines.
    P left, right;        // left.x <= right.x
    double slope = 0.0;   // segments
    bool arc = false;
    bool upper = true;
    double radius = 0.0;   // arcs
    P centre;
    double direction = 0.0;   // segments: atan(slope)
    std::size_t edge = 0;
    double low = 0.0, high = 0.0;   // arcs: angles, counter-clockwise from low to high
    double minY = 0.0, maxY = 0.0;

    bool holdsAngle(double angle) const { return offsetFrom(low, angle) <= high - low; }

    // y at x, held at the end values outside [left.x, right.x] so that the ends are exact.
    double yAt(double x) const {
        if (x <= left.x) return left.y;
        if (x >= right.x) return right.y;
        if (!arc) return left.y + (x - left.x) * slope;
        const double dx = x - centre.x;
        const double h = std::sqrt(std::max(0.0, radius * radius - dx * dx));
        return upper ? centre.y + h : centre.y - h;
    }

    // Direction of travel to the right at x, as an angle in [-pi/2, pi/2]; flat past the right end,
    // where the piece is held at its end value.
    double tangentAt(double x) const {
        if (x >= right.x) return 0.0;
        if (!arc) return direction;
        const double c = std::clamp((std::max(x, left.x) - centre.x) / radius, -1.0, 1.0);
        const double angle = upper ? std::acos(c) : -std::acos(c);
        return upper ? std::atan2(-std::cos(angle), std::sin(angle))
                     : std::atan2(std::cos(angle), -std::sin(angle));
    }

    P closest(P q) const {
        if (!arc) {
            const P d = right - left;
            const double squared = dot(d, d);
            if (!(squared > 0.0)) return left;
            return left + d * std::clamp(dot(q - left, d) / squared, 0.0, 1.0);
        }
        const P v = q - centre;
        const double length = norm(v);
        if (length > 0.0 && holdsAngle(std::atan2(v.y, v.x))) return centre + v * (radius / length);
        return distance(q, left) <= distance(q, right) ? left : right;
    }
};

// The sweep order: below comes first. Ties at the sweep line go by direction, then by piece number,
// so the order is strict as long as no two pieces have crossed, and the sweep stops at the first
// crossing.
struct EdgeSweep::Order {
    const EdgeSweep* sweep;
    bool operator()(std::size_t a, std::size_t b) const {
        if (a == b) return false;
        const Piece& pa = sweep->pieces_[a];
        const Piece& pb = sweep->pieces_[b];
        const double x = sweep->sweepX_;
        const double ya = pa.yAt(x), yb = pb.yAt(x);
        if (ya < yb) return true;
        if (yb < ya) return false;
        const double ta = pa.tangentAt(x), tb = pb.tangentAt(x);
        if (ta < tb) return true;
        if (tb < ta) return false;
        return a < b;
    }
};

EdgeSweep::EdgeSweep(double tolerance) : tolerance_(tolerance >= 0.0 ? tolerance : 0.0) {}

EdgeSweep::~EdgeSweep() = default;

void EdgeSweep::addContour(const CadPolygon& contour) {
    const std::size_t count = contour.getEdgeCount();
    edges_.reserve(edges_.size() + count);
    pieces_.reserve(pieces_.size() + count);
    for (std::size_t i = 0; i < count; ++i) {
        Edge edge;
        edge.contour = contours_;
        edge.index = i;
        edge.contourSize = contour.getSize();
        edge.closed = contour.isClosed();
        const PolyEdge source = contour.getEdge(i);
        edge.begin = turned(source.getBegin());
        edge.end = turned(source.getEnd());
        edges_.push_back(edge);
        addPieces(edges_.size() - 1, source);
    }
    ++contours_;
}

void EdgeSweep::addPieces(std::size_t number, const PolyEdge& source) {
    const Edge& edge = edges_[number];
    if (source.isCurved() && source.getRadius() > 0.0) {
        // The arc as a counter-clockwise angle range [low, low + span] in the turned frame, cut at
        // multiples of pi, where x is extreme.
        const CadArc arc = source.getArc();
        const double sweep = arc.getSweep();
        const double low = arc.getStartAngle() + kSweepAngle + (sweep < 0.0 ? sweep : 0.0);
        const double span = std::abs(sweep);
        const P centre = turned(arc.getCentre());
        // The range's ends are the edge's own vertices, taken exactly.
        const P lowPoint = sweep < 0.0 ? edge.end : edge.begin;
        const P highPoint = sweep < 0.0 ? edge.begin : edge.end;
        double from = low;
        P fromPoint = lowPoint;
        double cut = std::floor(low / kHalfTurn) * kHalfTurn + kHalfTurn;
        while (true) {
            const bool last = cut >= low + span;
            const double to = last ? low + span : cut;
            const P toPoint = last ? highPoint
                                   : P{centre.x + arc.getRadius() * std::cos(cut),
                                       centre.y + arc.getRadius() * std::sin(cut)};
            Piece piece;
            piece.edge = number;
            piece.arc = true;
            piece.centre = centre;
            piece.radius = arc.getRadius();
            piece.low = from;
            piece.high = to;
            piece.upper = std::sin((from + to) / 2.0) >= 0.0;
            piece.left = piece.upper ? toPoint : fromPoint;
            piece.right = piece.upper ? fromPoint : toPoint;
            if (piece.right.x < piece.left.x) std::swap(piece.left, piece.right);
            piece.minY = std::min(piece.left.y, piece.right.y);
            piece.maxY = std::max(piece.left.y, piece.right.y);
            // Within its half circle a piece reaches its y extreme at pi/2 (upper) or 3 pi/2 (lower).
            if (piece.upper && piece.holdsAngle(kHalfTurn / 2.0)) piece.maxY = centre.y + piece.radius;
            if (!piece.upper && piece.holdsAngle(1.5 * kHalfTurn)) piece.minY = centre.y - piece.radius;
            pieces_.push_back(piece);
            if (last) break;
            from = cut;
            fromPoint = toPoint;
            cut += kHalfTurn;
        }
    } else {
        Piece piece;
        piece.edge = number;
        piece.left = edge.begin;
        piece.right = edge.end;
        if (piece.right.x < piece.left.x || (!(piece.left.x < piece.right.x) && piece.right.y < piece.left.y))
            std::swap(piece.left, piece.right);
        const double dx = piece.right.x - piece.left.x;
        piece.slope = dx > 0.0 ? (piece.right.y - piece.left.y) / dx : 0.0;
        piece.direction = std::atan(piece.slope);
        piece.minY = std::min(piece.left.y, piece.right.y);
        piece.maxY = std::max(piece.left.y, piece.right.y);
        pieces_.push_back(piece);
    }
}

// --- The sweep ---------------------------------------------------------------------------------
bool EdgeSweep::findContact() {
    struct Event {
        double x;
        double y;
        std::size_t piece;
        bool insert;
    };
    std::vector<Event> events;
    events.reserve(2 * pieces_.size());
    for (std::size_t i = 0; i < pieces_.size(); ++i) {
        events.push_back({pieces_[i].left.x, pieces_[i].left.y, i, true});
        events.push_back({pieces_[i].right.x + tolerance_, pieces_[i].right.y, i, false});
    }
    // Left to right; at one x removals first, then from below.
    std::sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        if (a.x < b.x) return true;
        if (b.x < a.x) return false;
        if (a.insert != b.insert) return !a.insert;
        if (a.y < b.y) return true;
        if (b.y < a.y) return false;
        return a.piece < b.piece;
    });

    // The order's nodes come from one arena, freed at once when the sweep ends.
    std::pmr::monotonic_buffer_resource arena(pieces_.size() * 48);
    using Status = std::pmr::set<std::size_t, Order>;
    Status status(Order{this}, &arena);
    std::vector<Status::iterator> where(pieces_.size(), status.end());
    for (const Event& event : events) {
        sweepX_ = event.x;
        if (event.insert) {
            const auto at = status.insert(event.piece).first;
            where[event.piece] = at;
            if (at != status.begin() && touch(*std::prev(at), event.piece)) return true;
            if (const auto next = std::next(at); next != status.end() && touch(event.piece, *next))
                return true;
        } else {
            const auto at = where[event.piece];
            const bool hasBelow = at != status.begin();
            const auto below = hasBelow ? std::prev(at) : status.end();
            const auto above = std::next(at);
            status.erase(at);
            if (hasBelow && above != status.end() && touch(*below, *above)) return true;
        }
    }
    return false;
}

// --- The contact test --------------------------------------------------------------------------
// Candidate pairs of nearest points: each piece end against the other piece, the crossings, and the
// pairs where both pieces are normal to the line between them (the foot of an arc's centre on a
// segment; the points of two arcs on the line through their centres). The nearest pair of two pieces
// is among them.
bool EdgeSweep::touch(std::size_t first, std::size_t second) const {
    const Piece& a = pieces_[first];
    const Piece& b = pieces_[second];
    if (a.edge == b.edge) return false;   // pieces of one arc meet only at their cut
    // Cheap rejection: the boxes, widened by the tolerance.
    if (a.right.x + tolerance_ < b.left.x || b.right.x + tolerance_ < a.left.x) return false;
    if (a.maxY + tolerance_ < b.minY || b.maxY + tolerance_ < a.minY) return false;

    // Vertices the two edges share: consecutive edges of one contour share one, the two edges of a
    // closed two-vertex contour share both.
    P shared[2];
    int sharedCount = 0;
    const Edge& ea = edges_[a.edge];
    const Edge& eb = edges_[b.edge];
    if (ea.contour == eb.contour) {
        const std::size_t n = ea.contourSize;
        const auto follows = [&](const Edge& before, const Edge& after) {
            return ea.closed ? (before.index + 1) % n == after.index : before.index + 1 == after.index;
        };
        if (follows(ea, eb)) shared[sharedCount++] = ea.end;
        if (follows(eb, ea)) shared[sharedCount++] = ea.begin;
    }
    const double reach = tolerance_ * tolerance_;   // squared lengths spare the square roots
    const auto squared = [](P a, P b) { return (a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y); };
    const auto counts = [&](P p, P q) {
        if (squared(p, q) > reach) return false;
        for (int i = 0; i < sharedCount; ++i)
            if (squared(p, shared[i]) <= reach || squared(q, shared[i]) <= reach) return false;
        return true;
    };

    // 1. Each end against the other piece.
    for (P end : {a.left, a.right})
        if (counts(end, b.closest(end))) return true;
    for (P end : {b.left, b.right})
        if (counts(a.closest(end), end)) return true;

    // 2. Crossings and 3. mutual normals.
    if (!a.arc && !b.arc) {
        const P d1 = a.right - a.left, d2 = b.right - b.left;
        const double denominator = cross(d1, d2);
        if (exactlyEqual(denominator, 0.0)) return false;   // parallel: the ends told it all
        const double t = cross(b.left - a.left, d2) / denominator;
        const double u = cross(b.left - a.left, d1) / denominator;
        if (t < 0.0 || t > 1.0 || u < 0.0 || u > 1.0) return false;
        const P crossing = a.left + d1 * t;
        return counts(crossing, crossing);
    }
    if (a.arc != b.arc) {
        const Piece& segment = a.arc ? b : a;
        const Piece& arc = a.arc ? a : b;
        const P d = segment.right - segment.left;
        const double squared = dot(d, d);
        if (!(squared > 0.0)) return false;
        // The line left + t d meets the circle where |left + t d - c|^2 = r^2.
        const P f = segment.left - arc.centre;
        const double half = dot(f, d) / squared;
        const double rest = (dot(f, f) - arc.radius * arc.radius) / squared;
        const double discriminant = half * half - rest;
        if (discriminant >= 0.0) {
            const double root = std::sqrt(discriminant);
            for (double t : {-half - root, -half + root}) {
                if (t < 0.0 || t > 1.0) continue;
                const P p = segment.left + d * t;
                if (arc.holdsAngle(std::atan2(p.y - arc.centre.y, p.x - arc.centre.x)) && counts(p, p))
                    return true;
            }
        }
        const double t = -half;   // the foot of the centre on the line
        if (t >= 0.0 && t <= 1.0) {
            const P foot = segment.left + d * t;
            const P v = foot - arc.centre;
            const double length = norm(v);
            if (length > 0.0 && arc.holdsAngle(std::atan2(v.y, v.x)) &&
                counts(foot, arc.centre + v * (arc.radius / length)))
                return true;
        }
        return false;
    }
    // Two arcs.
    const P between = b.centre - a.centre;
    const double d = norm(between);
    if (!(d > 0.0)) return false;   // concentric: the ends told it all
    const P u = between * (1.0 / d);
    if (d <= a.radius + b.radius && d >= std::abs(a.radius - b.radius)) {
        const double along = (d * d + a.radius * a.radius - b.radius * b.radius) / (2.0 * d);
        const double h = std::sqrt(std::max(0.0, a.radius * a.radius - along * along));
        const P base = a.centre + u * along;
        for (double side : {-1.0, 1.0}) {
            const P p = base + P{-u.y, u.x} * (side * h);
            if (a.holdsAngle(std::atan2(p.y - a.centre.y, p.x - a.centre.x)) &&
                b.holdsAngle(std::atan2(p.y - b.centre.y, p.x - b.centre.x)) && counts(p, p))
                return true;
        }
    }
    for (double sa : {-1.0, 1.0}) {
        const P p = a.centre + u * (sa * a.radius);
        if (!a.holdsAngle(std::atan2(p.y - a.centre.y, p.x - a.centre.x))) continue;
        for (double sb : {-1.0, 1.0}) {
            const P q = b.centre + u * (sb * b.radius);
            if (b.holdsAngle(std::atan2(q.y - b.centre.y, q.x - b.centre.x)) && counts(p, q)) return true;
        }
    }
    return false;
}

}   // namespace tarnwick
