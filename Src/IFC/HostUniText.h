// Conversions between the framework's String and the host's Unicode text (UniString) for the records of
// the IFC, property and classification services.
#pragma once

#include <HostIFCRecords.h>

#include "Foundation/String.h"

namespace tarnwick {

inline String fromUniString(const host::UniString& text) { return String(text.view()); }
inline host::UniString toUniString(const String& text) { return host::UniString(text.toUniString()); }

}   // namespace tarnwick
