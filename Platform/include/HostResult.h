// Result codes of host calls: 0 is success, every error is a 32-bit code of the host's error range.
#pragma once

#include <cstdint>

namespace host {

using Result = std::uint32_t;

inline constexpr Result kNoError = 0;
inline constexpr Result kErrGeneral = 0x81060001;            // unspecified failure
inline constexpr Result kErrMemFull = 0x81060002;            // the memory manager could not allocate
inline constexpr Result kErrCancel = 0x81060003;             // the user cancelled (progress window, dialog)
inline constexpr Result kErrNotReady = 0x81060004;           // the add-on was called before it was set up
inline constexpr Result kErrBadIndex = 0x81060062;           // no such index, element or attribute
inline constexpr Result kErrBadName = 0x81060067;            // empty or unusable name
inline constexpr Result kErrBadParameters = 0x81060068;      // missing or contradictory arguments
inline constexpr Result kErrNoUserData = 0x8106006D;         // the element carries no user data
inline constexpr Result kErrAlreadySelected = 0x810600DE;    // select: the element already is
inline constexpr Result kErrNotSelected = 0x810600DF;        // deselect: the element was not
inline constexpr Result kErrMissingFunction = 0x81060387;    // the host supplied no function for the slot
inline constexpr Result kErrNoReceiver = 0x81060388;         // a shape piece came while nobody collects
inline constexpr Result kErrCommandException = 0x8106038C;   // an exception escaped an undoable command
inline constexpr Result kErrOutsideUndoScope = 0x81060390;   // a project change outside an undoable command
inline constexpr Result kErrBadHandle = 0x81060391;          // a disposed, foreign or unknown memory handle
inline constexpr Result kErrFile = 0x81060392;               // a file or folder could not be read or written
inline constexpr Result kErrNoModuleData = 0x81060393;       // the project holds no module data of that name
inline constexpr Result kErrRefusedCommand = 0x81060394;     // not allowed now (nested command, wrong stage)
inline constexpr Result kErrNoSuchCommand = 0x81060395;   // no loaded add-on serves that command and version
inline constexpr Result kErrNoProject = 0x81060396;       // no project is open

}   // namespace host
