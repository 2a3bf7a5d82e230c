#include "Skellowing/SkellowReport.h"

#include <string>

#include "Environment/Host.h"
#include "Geometry/Tolerance.h"
#include "Geometry/ZRotater.h"
#include "Skellowing/SkellowingStrings.h"
#include "Skellowing/SourceGroups.h"

namespace skellow {
namespace {

using tarnwick::String;

// A line whose text the host does not give is left out, not shown as an empty one: false then.
bool appendLine(String& text, std::int32_t item, std::uint32_t count) {
    if (count == 0) return true;
    String line = tarnwick::Host::getString(strings::kMessages, item);
    if (line.isEmpty()) return false;
    line.replaceAll("$1", String(count));
    (text += line) += "\n";
    return true;
}

tarnwick::CadPoint frontEdgeMidpoint(const tarnwick::Cube& box) {
    return box.getMinimum() + tarnwick::CadPoint(box.getWidth() / 2.0, 0.0, 0.0);
}

}   // namespace

void SkellowReport::countUntaken(const SourceSearch& found) {
    total += found.unread + found.unnamed;
    attempted += found.unread + found.unnamed;
    unnamed += found.unnamed;
}

String SkellowReport::getText() const {
    String text;
    appendLine(text, strings::kReplacedLine, success);
    // What was not replaced is never left untold: the report would read as a success.
    bool unreplacedTold = appendLine(text, strings::kMissingLine, missing);
    unreplacedTold =
        appendLine(text, strings::kFailedLine, getFailures() - refused - unnamed) && unreplacedTold;
    unreplacedTold = appendLine(text, strings::kRefusedLine, refused) && unreplacedTold;
    unreplacedTold = appendLine(text, strings::kUnnamedLine, unnamed) && unreplacedTold;
    if (text.isEmpty() && success == 0 && missing == 0 && getFailures() == 0)
        text = tarnwick::Host::getString(strings::kMessages, strings::kNothingFound);
    if (text.isEmpty() || !unreplacedTold) {
        // The one text not from the string lists: the host gave not all of theirs, and the user is still
        // told what was done.
        text += String("Skellowing: " + std::to_string(success) + " replaced, " + std::to_string(missing) +
                       " missing, " + std::to_string(getFailures()) + " failed");
    }
    return text;
}

tarnwick::CadPoint frontEdgeOffset(const tarnwick::Cube& before, const tarnwick::Cube& after, double angle) {
    tarnwick::CadPoint offset = frontEdgeMidpoint(before) - frontEdgeMidpoint(after);
    tarnwick::ZRotater(angle, tarnwick::Tolerance::angle).rotate(offset);
    return offset;
}

}   // namespace skellow
