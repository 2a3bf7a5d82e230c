// Multi-style texts of the simulated host: the paragraph records of an element's memo (HostStyledText.h)
// hold handles of their own, so the project keeps each paragraph part in a flat form without pointers
// and hands it out, and takes it back, as the nested handles the add-on sees.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "HostRecords.h"
#include "HostStyledText.h"

namespace host {

// The flat form, paragraph after paragraph: the 112-byte record with its three handle fields zeroed, then
// for the tabs, the runs and the line ends in turn a 32-bit byte count (all ones: no handle) and as many
// bytes.

// A new handle of paragraph records with their own new handles, made from the flat form. kErrMemFull
// when an allocation fails, kErrBadParameters for a malformed flat form; nothing is then left allocated.
Result paragraphsToHandle(const std::vector<unsigned char>& flat, Handle& paragraphs);
// The flat form of a handle of paragraph records. kErrBadHandle when it or one of its handles is unknown
// to the memory manager; kErrBadParameters when its size is no multiple of 112 bytes. `flat` is then
// unchanged.
Result paragraphsFromHandle(Handle paragraphs, std::vector<unsigned char>& flat);
// Whether bytes are a well-formed flat form; else what is wrong in `error`.
bool checkFlatParagraphs(const std::vector<unsigned char>& flat, std::string& error);

// --- A memo part kept as bytes, by its offset in ElementMemo --------------------------------------------
// The paragraphs part goes through the functions above; every other part is a plain copy of its bytes.
Result memoPartToHandle(std::uint16_t offset, const std::vector<unsigned char>& bytes, Handle& handle);
Result memoPartFromHandle(std::uint16_t offset, Handle handle, std::vector<unsigned char>& bytes);
Result disposeMemoPart(std::uint16_t offset, Handle handle);
bool checkMemoPart(std::uint16_t offset, const std::vector<unsigned char>& bytes, std::string& error);

}   // namespace host
