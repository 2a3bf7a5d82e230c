// The simulated host's side of the image library: converting pictures between file types ('CMPI').
#pragma once

#include "HostImages.h"

namespace host {

// Decodes the record's input, whatever its type, and encodes it as its MIME type into a new output
// handle. kErrBadParameters for a missing record, input or MIME text, a MIME type the file-type table
// lacks, or bytes that do not decode; kErrMemFull when the handle cannot be made.
Result convertPicture(ImageConversionRecord* record);

}   // namespace host
