// Text measuring of the simulated host ('GTLL'): a text set in one of the project's fonts, measured with
// FreeType on the font file fontconfig finds for the font's name.
#pragma once

#include "HostFonts.h"
#include "HostResult.h"
#include "SimProject.h"

namespace host {

class SimText {
public:
    explicit SimText(const SimProject& project) : project_(project) {}

    // The length of the record's text in millimetres into `length`. kErrBadParameters for a null record,
    // text or length, or a size that is not above 0; kErrGeneral when no font file can be read.
    Result measure(const TextLengthRecord* record, double* length) const;

private:
    const SimProject& project_;
};

}   // namespace host
