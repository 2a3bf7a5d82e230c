#include "Skellowing/SkellowReport.h"

#include "Environment/Host.h"
#include "Geometry/Tolerance.h"
#include "Geometry/ZRotater.h"
#include "Skellowing/SkellowingStrings.h"
#include "Skellowing/SourceGroups.h"

namespace skellow {
namespace {

using tarnwick::String;

void appendLine(String& text, std::int32_t item, std::uint32_t count) {
    if (count == 0) return;
    String line = tarnwick::Host::getString(strings::kMessages, item);
    line.replaceAll("$1", String(count));
    (text += line) += "\n";
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
    appendLine(text, strings::kMissingLine, missing);
    appendLine(text, strings::kFailedLine, getFailures() - refused - unnamed);
    appendLine(text, strings::kRefusedLine, refused);
    appendLine(text, strings::kUnnamedLine, unnamed);
    if (text.isEmpty()) text = tarnwick::Host::getString(strings::kMessages, strings::kNothingFound);
    return text;
}

tarnwick::CadPoint frontEdgeOffset(const tarnwick::Cube& before, const tarnwick::Cube& after, double angle) {
    tarnwick::CadPoint offset = frontEdgeMidpoint(before) - frontEdgeMidpoint(after);
    tarnwick::ZRotater(angle, tarnwick::Tolerance::angle).rotate(offset);
    return offset;
}

}   // namespace skellow
