// The host function table: every host function the add-on can call, declared once in one list.
// The list expands into the C table struct the host hands over at load (SetImportedFuncAddrs), the
// HostSlot enum, the slot names for messages and the undo-scope rule of each slot. Adding a host
// function is one line in HOST_FUNCTION_SLOTS (the host then also needs a body for it).
//
// Every function takes the host context first and returns 0 or a host error code (HostResult.h).
// A slot the host leaves empty (null) is answered by the add-on's side with kErrMissingFunction.
// Texts go in as zero-terminated UTF-16 (const char16_t*); texts and lists come back in new host
// handles that the caller disposes (disposeHandle).
#pragma once

#include <cstddef>
#include <cstdint>

#include "FourCC.h"
#include "HostAddonProtocol.h"
#include "HostElementRecords.h"
#include "HostGuid.h"
#include "HostIFCRecords.h"
#include "HostMemory.h"
#include "HostModeler.h"
#include "HostProjection.h"
#include "HostRecords.h"
#include "HostResult.h"
#include "HostShapes.h"

namespace host {

// When a slot needs an open undoable command (the host refuses it with kErrOutsideUndoScope otherwise).
enum HostScope : std::uint8_t {
    kScopeNone = 0,        // never: queries, registration, tool defaults, module data, user interface
    kScopeUndo = 1,        // always: the call changes the project
    kScopeByCode = 2,      // a dispatcher: its first parameter is a four-character code, and the code
                           // decides (see Platform/README.md for the codes that change the project)
    kScopeByElement = 3,   // user data and writes: needed for a placed element (a head with a guid),
                           // not for a tool default (a head with only type and variation)
};

// The dispatchers take a four-character code and pointers whose meaning the code gives (records in
// HostRecords.h; "new handle" means the caller disposes it; a list with nothing in it is a null handle):
//   database 'GDBI' (DatabaseRecord* in: type and guid; out: master guid and the three texts)
//            'MDAT' (const DatabaseRecord*: writes title, name, reference and, for a layout, the master)
//            'GDAT', 'GWIN' (DatabaseRecord* out: the current database, the front window's database)
//            'CDAT' (const DatabaseRecord*: type and guid become the current database)
//            'NDAT' (DatabaseRecord* in: type 5 with master guid and name, or type 12 with name and
//                   reference; out: the new guid at byte 8)
//            'DDAT' (const DatabaseRecord*: deletes a layout, master layout or worksheet with its elements)
//            'GDDI', 'GD3D', 'GEDI', 'GIED', 'GSDI', 'GWDI', 'GLDI', 'GMDI' (Handle* out: a new handle of the
//                   guids of the details, 3D documents, elevations, interior elevations, sections,
//                   worksheets, layouts, master layouts, in project order)
//            'GEFA' (ElementRecord* in: guid; out: the element of any database)
//            'DRWE' (const ElementHead*: redraws the element of the current database)
//            'GZOM', 'GEX2' (BoxRecord* out: the current database's zoom, its whole extent)
//            'GSCL' (double* out), 'CDRS' (double* scale, uint8_t* carried): the drawing scale
//            'DRDB', 'RBDB' (no parameters: redraw, rebuild)
//            'GCIS', 'GEIS' (const GuidRecord* element of any database, Handle* out: a new handle of UTF-16
//                   units without a terminator: the host's info prefix and the element's ID, or the ID alone)
//            'CABO' (const ElementHead* of the current database, ElementBoxRecord* out: its 3D box)
//            'PTOC' (const PixelPoint*, ModelPoint* out), 'CTOP' (const ModelPoint*, PixelPoint* out): the
//                   current database's window and the plan
//   environment 'ISSG' (uint8_t* out: 1 while the suspend-groups mode is on)
//            'PROJ' (ProjectInfoRecord* out, with the current member's id; kErrNoProject when no project is
//                   open, as every call on the project then), 'SHAR' (SharingRecord* out;
//                   count 0 when not shared)
//            'GSTO' (StoreyInfoRecord* out, p2 the value kStoreyInfoAll itself cast to a pointer)
//            'CSTO' (const StoreyCommandRecord*: goes to the storey)
//            'GARF' (GuidRecord* out: the active renovation filter; empty when none)
//            'GTBX' (ToolboxRecord* out: the toolbox's current tool)
//            'GLAY' (LayoutRecord* out, const GuidRecord* layout or master layout), 'CLAY' (const
//                   LayoutRecord*, const GuidRecord*: writes paper, margins, name and the carried fields)
//   elementTools 'SUSP' (no parameters: toggles the suspend-groups mode; changes the project)
//   interface 'SETD' (int32_t* element type id, int32_t* variation: the tool's settings dialog;
//             0 when the user accepted it, kErrCancel when cancelled)
//   interface 'IPWD' (const char16_t* title, int32_t* phase count): opens the process window
//             'CPWD' closes it; 'SPRV' (int32_t* value) sets its value; 'IPRV' (int32_t* increment)
//             raises it; 'SPRP' (const char16_t* text, int32_t* count) starts a phase;
//             'CANC' answers kErrCancel once the user has cancelled, else 0
//   utilities 'NTOE' (const int32_t* part-reference id, int16_t* out: the element type id)
//   automation 'CHWD' (const DatabaseRecord*: brings the database's window to the front; the current
//             database stays), 'ZOOM' (const BoxRecord*: the current database's zoom),
//             'RBLD' (uint8_t*: rebuild; the byte is carried)
//   environment 'GCLC' (std::int16_t* out: the current layer combination's index, 0 when none)
//            'GPRF' (UnitPreferencesRecord* out, p2 kPreferencesUnits cast to a pointer: the working units)
//            'GPLA' (LocationRecord* out), 'CPLA' (const LocationRecord*: longitude, latitude, north and
//                   time zone are written; a latitude outside -90..90, a longitude outside -180..180 or a
//                   value that is not finite gives kErrBadParameters; changes the project)
//            'GPRN' (ProjectNotesRecord* out: the project notes)
//            'GP3D' (ProjectionRecord* out), 'CP3D' (const ProjectionRecord*: the 3D window's projection;
//                   kErrBadParameters for values that are not finite, a camera on its target or a view
//                   angle outside (0, pi))
//            'OWLP' (const std::int32_t*: 1 lets createLibraryPart replace a part of the same name, 0 ends
//                   it)
//            'GLIB' (Handle* out: a new handle of LibraryInfoRecords, each with a new location; std::int32_t*
//                   out: the current library's position in it, -1 when none)
//            'SLIB' (Handle of LibraryInfoRecords: the project's library folders become these; each must be
//                   an existing folder (kErrFile); the current one stays when still listed)
//            'ALIB' (const char* location: adds that folder, kErrFile when it is not one)
//            'DELI' (const char* location, p2 the value 1 cast to a pointer: the part file is deleted and its
//                   parts unloaded; changes the project), 'DELS' (Handle of `char*` locations, p2 as 'DELI')
//   utilities 'GLUI' (const std::int16_t* library index, char* out: 128 bytes, the unique-id text)
//             'CMPI' (ImageConversionRecord*: the input picture converted to the record's MIME type)
//             'CLPS' (const char* a, const char* b, UTF-8 unique ids: 0 when a is b's family: a's part is b's
//                   or descends from it through the parents, or a and b share the main guid; else
//                   kErrBadName)
//             'COMP' (const char* a, const char* b: 0 the same id; for one main guid kErrOlderRevision or
//                   kErrNewerRevision when a's revision was loaded before or after b's (a revision no part
//                   carries is older than every loaded one); kErrBadParameters for other texts or families)
//   automation 'LLIB' (Handle of LibraryInfoRecords: reloads the libraries; the folders become these, as
//                   'SLIB')
//   elementTools 'LOCK', 'ULCK' (Handle of element heads, const std::int32_t* count: lock or unlock them;
//             all or none: kErrBadIndex when one is not in the current database, kErrRefusedCommand when
//             another member holds one)
//            'GRUP', 'UGRP' (as 'LOCK': one new group of the elements and of every member of their groups,
//                   at least two elements; ungroup: they and their groups' members leave their groups. The
//                   group is the head's first identifier; the new heads are written back into the handle)
//            'OFR1', 'OFR0', 'OBA1', 'OBA0' (as 'LOCK': the drawing-order byte, higher on top: to the front
//                   (255), one step forward, to the back (0), one step backward; heads written back)
//   interface 'HGEL' (Handle of HighlightEntry, one per element of the current database, bool* wireframe:
//             shows the highlight; both null clears it)
//   utilities 'RPAS' (const ElementHead*: an element of the current database; the host recomputes nothing
//             it keeps, so it only checks the element)
//   utilities 'NTOC' (const GuidRecord* element, ModelPoint* out, int32_t* in/out: the next of the
//             element's plan coordinates, from 0; kErrBadIndex past the last)
//             'GULN' (const GuidRecord* element, Handle* out: the name of its library part, UTF-16)
//             'GELU' (const ElementHead*, char* out: 128 bytes, the unique id of its library part)
//   database 'RFSH' (const ElementHead*: redraws the element; it must be in the current database)
//   interface 'OBJS' (ElementRecord* object or lamp, const ElementRecord* mask: the object settings
//             dialog; only a field whose mask bytes are all 0xFF may change; the record comes back
//             as the user left it; kErrCancel when cancelled)
// An unknown code gives kErrBadParameters; a database, element or storey the project lacks gives
// kErrBadIndex.
//
// X(slot, result, (parameters after the context), scope). Names are written in full (::host::), so
// the list expands in any namespace.
#define HOST_FUNCTION_SLOTS(X)                                                                               \
    /* --- dispatchers by four-character code ------------------------------------------------------ */      \
    X(database, std::uint32_t, (std::uint32_t code, void* p1, void* p2, void* p3), ::host::kScopeByCode)     \
    X(environment, std::uint32_t, (std::uint32_t code, void* p1, void* p2, void* p3), ::host::kScopeByCode)  \
    X(interface, std::uint32_t, (std::uint32_t code, void* p1, void* p2, void* p3, void* p4, void* p5),      \
      ::host::kScopeByCode)                                                                                  \
    X(utilities, std::uint32_t, (std::uint32_t code, void* p1, void* p2, void* p3), ::host::kScopeByCode)    \
    X(automation, std::uint32_t, (std::uint32_t code, void* p1, void* p2, void* p3), ::host::kScopeByCode)   \
    X(elementTools, std::uint32_t, (std::uint32_t code, void* p1, void* p2, void* p3), ::host::kScopeByCode) \
    /* --- menus: the menu's string list gives the title (item 1) and the commands (items 2...); the  */     \
    /*     prompt list (by its id, or counted from the menu's: 1 the next list) gives one status-line */     \
    /*     prompt per item in the same order. Registration only                                       */     \
    /*     while register interface runs; the handler for a registered menu.                          */     \
    X(registerMenu, std::uint32_t,                                                                           \
      (std::int16_t menuListId, std::int16_t promptListId, std::int32_t position, std::int32_t flags),       \
      ::host::kScopeNone)                                                                                    \
    X(installMenuHandler, std::uint32_t, (std::int16_t menuListId, ::host::HostMenuHandler handler),         \
      ::host::kScopeNone)                                                                                    \
    /* --- project notifications: the handler gets every notification whose bit is in the mask;     */       \
    /*     mask 0 or a null handler stops them                                                         */    \
    X(catchProjectNotifications, std::uint32_t, (std::uint32_t mask, ::host::HostProjectHandler handler),    \
      ::host::kScopeNone)                                                                                    \
    /* --- module data of the open project, kept per add-on and name ------------------------------ */       \
    /*     get: kErrNoModuleData when there is none; data->data is a new handle                       */     \
    X(getModuleData, std::uint32_t, (const char16_t* name, ::host::HostModuleData* data),                    \
      ::host::kScopeNone)                                                                                    \
    X(putModuleData, std::uint32_t, (const char16_t* name, const ::host::HostModuleData* data),              \
      ::host::kScopeNone)                                                                                    \
    X(deleteModuleData, std::uint32_t, (const char16_t* name), ::host::kScopeNone)                           \
    /*     list: a new handle of the names, each zero-terminated UTF-16, in name order               */      \
    X(listModuleData, std::uint32_t, (::host::Handle * names), ::host::kScopeNone)                           \
    X(installModuleDataMergeHandler, std::uint32_t, (::host::HostModuleDataMergeHandler handler),            \
      ::host::kScopeNone)                                                                                    \
    /* --- commands: the undoable command runs body(userData) as one undo step named undoName; a    */       \
    /*     non-zero result or an escaping exception (kErrCommandException) rolls the project back;   */      \
    /*     a nested one is refused (kErrRefusedCommand)                                              */      \
    X(undoableCommand, std::uint32_t,                                                                        \
      (const char16_t* undoName, ::host::HostCommandBody body, void* userData), ::host::kScopeNone)          \
    X(isInsideCommand, std::uint32_t, (std::uint8_t * inside), ::host::kScopeNone)                           \
    /* --- add-on command services: registered while register interface runs, served by a handler, */        \
    /*     called by another add-on by its name (kErrNoSuchCommand when nobody serves it)           */       \
    X(registerCommandService, std::uint32_t, (std::uint32_t commandId, std::int32_t version),                \
      ::host::kScopeNone)                                                                                    \
    X(installCommandHandler, std::uint32_t,                                                                  \
      (std::uint32_t commandId, std::int32_t version, ::host::HostAddonCommandHandler handler),              \
      ::host::kScopeNone)                                                                                    \
    X(callAddonCommand, std::uint32_t,                                                                       \
      (const char16_t* addonName, std::uint32_t commandId, std::int32_t version, ::host::Handle parameters,  \
       void* resultData),                                                                                    \
      ::host::kScopeNone)                                                                                    \
    /* --- elements (records in HostRecords.h). Reads and writes work on the current database; the  */       \
    /*     floor plan and the 3D window hold the same elements. A head or record names an element   */       \
    /*     by its guid; kErrBadIndex when the current database has no such element.                 */       \
    /*     defaults: type and variation in; the tool default's record (and memo, zeroed first) out  */       \
    X(getElementDefaults, std::uint32_t, (::host::ElementRecord * element, ::host::ElementMemo * memo),      \
      ::host::kScopeNone)                                                                                    \
    /*     get: type and guid in (type 0 takes any type); the whole record out                       */      \
    X(getElement, std::uint32_t, (::host::ElementRecord * element), ::host::kScopeNone)                      \
    /*     head and memo by guid, from any database; the memo is zeroed, then the masked parts get   */      \
    /*     new handles (mask 0: every part)                                                          */      \
    X(getElementHead, std::uint32_t, (const ::host::GuidRecord* guid, ::host::ElementHead* head),            \
      ::host::kScopeNone)                                                                                    \
    X(getElementMemo, std::uint32_t,                                                                         \
      (const ::host::GuidRecord* guid, ::host::ElementMemo* memo, std::uint64_t mask), ::host::kScopeNone)   \
    /*     create: the record (and memo, may be null) becomes a new element of the current database   */     \
    /*     with a new guid; the stored record comes back                                              */     \
    X(createElement, std::uint32_t, (::host::ElementRecord * element, const ::host::ElementMemo* memo),      \
      ::host::kScopeUndo)                                                                                    \
    /*     change: the bytes under the mask's set bits (type, guid and owner stay the host's), and the */    \
    /*     memo's parts in memoMask (0: all); withDelete 1 removes a masked part the memo leaves null; */    \
    /*     a record with no guid changes the tool default of its type and variation                   */     \
    X(changeElement, std::uint32_t,                                                                          \
      (::host::ElementRecord * element, const ::host::ElementRecord* mask, const ::host::ElementMemo* memo,  \
       std::uint64_t memoMask, std::uint8_t withDelete),                                                     \
      ::host::kScopeByElement)                                                                               \
    /*     delete: a handle of `count` heads; all or none                                             */     \
    X(deleteElements, std::uint32_t, (::host::Handle heads, std::int32_t count), ::host::kScopeUndo)         \
    /*     edit: a handle of `count` part references moved, turned, mirrored or raised as `edit` says;  */   \
    /*     only objects and lamps (kErrBadParameters for others); all or none                         */     \
    X(editElements, std::uint32_t,                                                                           \
      (::host::Handle parts, std::int32_t count, const ::host::EditParameters* edit), ::host::kScopeUndo)    \
    /*     change parameters: the `count` heads' elements take the defaults' bytes under the mask's set */   \
    /*     bits (the body only from defaults of their own type; type, guid, owner stay) and the memo's */    \
    /*     non-null parameter and info parts (memo may be null); all or none                            */   \
    X(changeParameters, std::uint32_t,                                                                       \
      (const ::host::ElementHead* heads, std::int32_t count, const ::host::ElementRecord* defaults,          \
       const ::host::ElementMemo* memo, const ::host::ElementRecord* mask),                                  \
      ::host::kScopeUndo)                                                                                    \
    /*     releases every handle and pointer block of the memo, then zeroes it                         */    \
    X(disposeElementMemo, std::uint32_t, (::host::ElementMemo * memo), ::host::kScopeNone)                   \
    /* --- element kinds (records in HostElementRecords.h). quantities: the masked fields of the     */      \
    /*     element's quantity record, its composites' and (when asked) its parts' as new handles     */      \
    X(getElementQuantities, std::uint32_t,                                                                   \
      (const ::host::GuidRecord* guid, const ::host::QuantityParameters* parameters,                         \
       ::host::QuantityTargets* targets, const std::uint8_t* mask),                                          \
      ::host::kScopeNone)                                                                                    \
    /*     relations: an opening with type 17 fills an OpeningRelation, a zone with a type (0: all)    */    \
    /*     a ZoneRelation whose lists the release below disposes                                      */     \
    X(getElementRelations, std::uint32_t,                                                                    \
      (const ::host::GuidRecord* guid, std::int32_t relatedType, void* relation, std::int32_t subtype),      \
      ::host::kScopeNone)                                                                                    \
    X(disposeZoneRelation, std::uint32_t, (::host::ZoneRelation * relation), ::host::kScopeNone)             \
    /*     the add-on's relations between two elements, each with two values: related: a new handle of */    \
    /*     the guids related to an element (null when none); values of one relation; create (or set  */      \
    /*     the values of) and remove one                                                               */    \
    X(getRelatedElements, std::uint32_t,                                                                     \
      (const ::host::GuidRecord* guid, ::host::Handle* guids, std::int32_t* count), ::host::kScopeNone)      \
    X(getRelationValues, std::uint32_t,                                                                      \
      (const ::host::GuidRecord* first, const ::host::GuidRecord* second, ::host::RelationValues* values),   \
      ::host::kScopeNone)                                                                                    \
    X(createRelation, std::uint32_t,                                                                         \
      (const ::host::GuidRecord* first, const ::host::GuidRecord* second, std::int32_t valueA,               \
       std::int32_t valueB),                                                                                 \
      ::host::kScopeUndo)                                                                                    \
    X(removeRelation, std::uint32_t, (const ::host::GuidRecord* first, const ::host::GuidRecord* second),    \
      ::host::kScopeUndo)                                                                                    \
    /*     the flags of the link from first to second; kErrBadIndex when they are not linked           */    \
    X(getLinkFlags, std::uint32_t,                                                                           \
      (const ::host::GuidRecord* first, const ::host::GuidRecord* second, std::uint32_t* flags),             \
      ::host::kScopeNone)                                                                                    \
    /* --- selection of the current database: a handle of `count` part references, add 1 adds them,  */      \
    /*     add 0 removes them; no parts clears the selection. One element by head: kErrAlreadySelected */    \
    /*     / kErrNotSelected when nothing changes                                                      */    \
    X(selectElements, std::uint32_t, (::host::Handle parts, std::int32_t count, std::uint8_t add),           \
      ::host::kScopeNone)                                                                                    \
    X(selectElement, std::uint32_t, (const ::host::ElementHead* head, std::uint8_t select),                  \
      ::host::kScopeNone)                                                                                    \
    X(getSelection, std::uint32_t,                                                                           \
      (::host::SelectionRecord * selection, ::host::Handle * parts, std::uint8_t onlyEditable,               \
       std::uint8_t ignorePartial),                                                                          \
      ::host::kScopeNone)                                                                                    \
    /* --- element lists of the current database: type 0 all types, variation 0 all variations;     */       \
    /*     filter flags as kFilter... in HostRecords.h (0 none); the renovation filter guid is used    */    \
    /*     with kFilterRenovation (empty: the active filter). guids: a new handle, null when none       */   \
    X(getElementList, std::uint32_t,                                                                         \
      (std::int32_t type, ::host::Handle * guids, std::uint32_t filterFlags, std::int32_t variation,         \
       const ::host::GuidRecord* renovationFilter),                                                          \
      ::host::kScopeNone)                                                                                    \
    X(filterElement, std::uint32_t,                                                                          \
      (const ::host::GuidRecord* guid, std::uint32_t filterFlags, std::int32_t variation,                    \
       const ::host::GuidRecord* renovationFilter, std::uint8_t* passes),                                    \
      ::host::kScopeNone)                                                                                    \
    /* --- user data of a placed element (any database) or, for a head without guid, of the tool    */       \
    /*     default of its type and variation; kErrNoUserData when there is none (get: record zeroed) */      \
    X(getElementUserData, std::uint32_t, (const ::host::ElementHead* head, ::host::UserDataRecord* data),    \
      ::host::kScopeNone)                                                                                    \
    X(setElementUserData, std::uint32_t,                                                                     \
      (const ::host::ElementHead* head, const ::host::UserDataRecord* data), ::host::kScopeByElement)        \
    X(clearElementUserData, std::uint32_t, (const ::host::ElementHead* head), ::host::kScopeByElement)       \
    /* --- links between two elements (first to second, with flags); linked: the seconds of a first */       \
    X(getLinkedElements, std::uint32_t,                                                                      \
      (const ::host::GuidRecord* guid, ::host::Handle* guids, std::int32_t* count), ::host::kScopeNone)      \
    X(linkElements, std::uint32_t,                                                                           \
      (const ::host::GuidRecord* first, const ::host::GuidRecord* second, std::uint32_t flags),              \
      ::host::kScopeUndo)                                                                                    \
    X(unlinkElements, std::uint32_t, (const ::host::GuidRecord* first, const ::host::GuidRecord* second),    \
      ::host::kScopeUndo)                                                                                    \
    /* --- teamwork: shared and connected; reserve takes the elements nobody else holds for the     */       \
    /*     current member and lists the others (a new handle of ReservationConflict, null when none); */     \
    /*     release gives back what the member holds. Both refused when not shared or not connected   */      \
    X(isSharedProject, std::uint32_t, (std::uint8_t * shared), ::host::kScopeNone)                           \
    X(isTeamworkConnected, std::uint32_t, (std::uint8_t * connected), ::host::kScopeNone)                    \
    X(reserveElements, std::uint32_t,                                                                        \
      (const ::host::GuidRecord* guids, std::int32_t count, ::host::Handle* conflicts), ::host::kScopeNone)  \
    X(releaseElements, std::uint32_t, (const ::host::GuidRecord* guids, std::int32_t count),                 \
      ::host::kScopeNone)                                                                                    \
    /* --- teamwork lockables: host objects a member takes before changing shared settings (the     */       \
    /*     layer settings are "LayerSettingsDialog"). find: kErrBadName and an empty guid for a name   */    \
    /*     the host does not know. status: kLockable... (HostRecords.h); flags 0. acquire (flags 0)    */    \
    /*     takes a free one for the current member; release (flags 0, or 1 to hand in the changes      */    \
    /*     made under it) gives back one the member holds; both kErrRefusedCommand otherwise, and      */    \
    /*     refused when not shared or not connected. available: the server takes requests now          */    \
    X(isTeamworkAvailable, std::uint32_t, (std::uint8_t * available), ::host::kScopeNone)                    \
    X(findLockable, std::uint32_t, (const char16_t* name, ::host::GuidRecord* guid), ::host::kScopeNone)     \
    X(getLockableStatus, std::uint32_t,                                                                      \
      (const ::host::GuidRecord* guid, std::int32_t flags, std::int32_t* status), ::host::kScopeNone)        \
    X(acquireLockable, std::uint32_t, (const ::host::GuidRecord* guid, std::int32_t flags),                  \
      ::host::kScopeNone)                                                                                    \
    X(releaseLockable, std::uint32_t, (const ::host::GuidRecord* guid, std::int32_t flags),                  \
      ::host::kScopeNone)                                                                                    \
    /* --- attributes (records in HostRecords.h), by type and 1-based 16-bit index. count: the      */       \
    /*     highest index in use; a deleted index below it answers kErrBadIndex. get: type and index in, */   \
    /*     the whole definition out. extension: a new handle per part the attribute has (disposal    */      \
    /*     below). search: type and name in (exact bytes), the index written into the header, else    */     \
    /*     kErrBadName. create: the definition (index ignored) and the extension (may be null); the new */   \
    /*     index comes back at byte 4; kErrBadName for an empty name or one the type already has.      */    \
    /*     change: by type and index; name and flags and the body are written, a given extension      */     \
    /*     replaces every part (null: the parts stay); the stored header comes back. delete: the       */    \
    /*     header's type and `count` indices; all or none; layer 1 cannot go (kErrBadIndex). User data */    \
    /*     as an element's (kErrNoUserData, record zeroed, when none)                                  */    \
    X(getAttributeCount, std::uint32_t, (std::int32_t type, std::int16_t * count), ::host::kScopeNone)       \
    X(getAttribute, std::uint32_t, (::host::AttributeDefinition * definition), ::host::kScopeNone)           \
    X(getAttributeExtension, std::uint32_t,                                                                  \
      (const ::host::AttributeHeader* header, ::host::AttributeExtension* extension), ::host::kScopeNone)    \
    X(searchAttributeByName, std::uint32_t, (::host::AttributeHeader * header), ::host::kScopeNone)          \
    X(createAttribute, std::uint32_t,                                                                        \
      (::host::AttributeDefinition * definition, const ::host::AttributeExtension* extension),               \
      ::host::kScopeUndo)                                                                                    \
    X(changeAttribute, std::uint32_t,                                                                        \
      (::host::AttributeDefinition * definition, const ::host::AttributeExtension* extension),               \
      ::host::kScopeUndo)                                                                                    \
    X(deleteAttributes, std::uint32_t,                                                                       \
      (const ::host::AttributeHeader* header, const std::int16_t* indices, std::int32_t count),              \
      ::host::kScopeUndo)                                                                                    \
    X(getAttributeUserData, std::uint32_t,                                                                   \
      (const ::host::AttributeHeader* header, ::host::UserDataRecord* data), ::host::kScopeNone)             \
    X(setAttributeUserData, std::uint32_t,                                                                   \
      (const ::host::AttributeHeader* header, const ::host::UserDataRecord* data), ::host::kScopeUndo)       \
    /*     releases every handle of the extension (a parameter part as disposeParameters), then     */       \
    /*     zeroes it                                                                                 */      \
    X(disposeAttributeExtension, std::uint32_t, (::host::AttributeExtension * extension),                    \
      ::host::kScopeNone)                                                                                    \
    /* --- library parts (records in HostRecords.h), by 1-based index; a record handed out carries   */      \
    /*     a new location (or null) that the caller disposes (disposePtr).                            */     \
    /*     search: the record names the part by, in this order of precedence, unique id (the same     */     \
    /*     text, else the same main guid), parent unique id (the first part after the index at byte 4  */    \
    /*     whose parent is that part: start 0 for the first), document name or file name (ASCII case  */     \
    /*     ignored); a type other than 0 narrows it, onlyPlaceable takes placeable parts only;         */    \
    /*     createIfMissing must be 0. The whole record out; kErrBadName when none.                     */    \
    X(searchLibraryPart, std::uint32_t,                                                                      \
      (::host::LibraryPartRecord * part, std::uint8_t createIfMissing, std::uint8_t onlyPlaceable),          \
      ::host::kScopeNone)                                                                                    \
    /*     get: the index in, the record out (kErrBadIndex for a deleted part); count: highest index   */    \
    X(getLibraryPart, std::uint32_t, (::host::LibraryPartRecord * part), ::host::kScopeNone)                 \
    X(getLibraryPartCount, std::uint32_t, (std::int32_t * count), ::host::kScopeNone)                        \
    /*     making a part: create (type, names, parent unique id, flags, unique id or empty for a new   */    \
    /*     one, location or null) opens it (one at a time: kErrRefusedCommand); its names must be new  */    \
    /*     unless 'OWLP' is on, and then the part of that name is replaced in place. add section: bytes */   \
    /*     (copied; may be null) or text (stored as UTF-8 with a terminator), not both. finish stores  */    \
    /*     it and fills the record (index, unique ids, saved code)                                      */   \
    X(createLibraryPart, std::uint32_t, (const ::host::LibraryPartRecord* part), ::host::kScopeUndo)         \
    X(addLibraryPartSection, std::uint32_t,                                                                  \
      (const ::host::LibrarySectionHeader* header, ::host::Handle bytes, const char16_t* text),              \
      ::host::kScopeUndo)                                                                                    \
    X(finishLibraryPart, std::uint32_t, (::host::LibraryPartRecord * part), ::host::kScopeUndo)              \
    /*     sections of a stored part: the list (a new handle of headers with their lengths, in the     */    \
    /*     part's order; null when none); get: the bytes as a new handle and, when `text` is given,    */    \
    /*     a text section ('1DSC' '2DSC' '3DSC' 'CTXT' 'VLSC' 'UISC' 'PRSC' 'FMSC' 'BMSC' 'CPYR') as a  */   \
    /*     new handle of UTF-16 units up to its first zero byte (null for other sections);            */     \
    /*     kErrBadName when the part has no such section. update: replaces or adds the section, a     */     \
    /*     'PARD' made by makeParameterSection also the parameters. reserved: null                     */    \
    X(getLibraryPartSectionList, std::uint32_t,                                                              \
      (std::int32_t index, std::int32_t * count, ::host::Handle * headers), ::host::kScopeNone)              \
    X(getLibraryPartSection, std::uint32_t,                                                                  \
      (std::int32_t index, const ::host::LibrarySectionHeader* header, ::host::Handle* bytes,                \
       ::host::Handle* text, void* reserved),                                                                \
      ::host::kScopeNone)                                                                                    \
    X(updateLibraryPartSection, std::uint32_t,                                                               \
      (std::int32_t index, const ::host::LibrarySectionHeader* header, ::host::Handle bytes,                 \
       const char16_t* text, void* reserved),                                                                \
      ::host::kScopeUndo)                                                                                    \
    /*     details: the 3200-byte block (zero for a part that never had one). set: of the part with the */   \
    /*     record's index, or of the part being made when that is 0; a parameter handle (may be null)  */    \
    /*     replaces the part's parameters                                                               */   \
    X(getLibraryPartDetails, std::uint32_t, (std::int32_t index, ::host::LibraryPartDetails * details),      \
      ::host::kScopeNone)                                                                                    \
    X(setLibraryPartDetails, std::uint32_t,                                                                  \
      (const ::host::LibraryPartRecord* part, ::host::Handle parameters,                                     \
       const ::host::LibraryPartDetails* details),                                                           \
      ::host::kScopeUndo)                                                                                    \
    /*     register: type, owner code and location in (the file must exist: kErrFile); a file already  */    \
    /*     loaded keeps its part. The whole record out, the caller's location block left in it       */      \
    X(registerLibraryPart, std::uint32_t, (::host::LibraryPartRecord * part), ::host::kScopeUndo)            \
    /*     parameters: the default A and B sizes, the record count and a new handle of ParameterRecords */   \
    /*     (arrays hold new handles; release it with disposeParameters). makeParameterSection: a new   */    \
    /*     'PARD' section's bytes from a parameter handle and the sizes (flags and reserved 0)         */    \
    X(getLibraryPartParameters, std::uint32_t,                                                               \
      (std::int32_t index, double* a, double* b, std::int32_t* count, ::host::Handle* parameters),           \
      ::host::kScopeNone)                                                                                    \
    X(makeParameterSection, std::uint32_t,                                                                   \
      (const ::host::LibraryPartRecord* part, ::host::Handle parameters, double a, double b,                 \
       std::int32_t flags, ::host::Handle* section, void* reserved),                                         \
      ::host::kScopeNone)                                                                                    \
    /*     releases the array handles of the records, then the handle, and sets it to null             */    \
    X(disposeParameters, std::uint32_t, (::host::Handle * parameters), ::host::kScopeNone)                   \
    /* --- IFC data of a placed element (records in HostIFCRecords.h): storedOnly 1 gives what the  */       \
    /*     element stores, 0 also what the host derives ("GlobalId" from the element's guid). The     */     \
    /*     out array is emptied first. set: replaces the property of that set and name (or the        */     \
    /*     attribute of that name), else adds it; remove: kErrBadName when there is no such property */      \
    X(getElementIFCProperties, std::uint32_t,                                                                \
      (const ::host::GuidRecord* element, std::uint8_t storedOnly,                                           \
       ::host::Array<::host::IFCPropertyRecord>* properties),                                                \
      ::host::kScopeNone)                                                                                    \
    X(getElementIFCAttributes, std::uint32_t,                                                                \
      (const ::host::GuidRecord* element, std::uint8_t storedOnly,                                           \
       ::host::Array<::host::IFCAttributeRecord>* attributes),                                               \
      ::host::kScopeNone)                                                                                    \
    X(getElementIFCReferences, std::uint32_t,                                                                \
      (const ::host::GuidRecord* element, std::uint8_t storedOnly,                                           \
       ::host::Array<::host::IFCClassificationReferenceRecord>* references),                                 \
      ::host::kScopeNone)                                                                                    \
    X(setElementIFCProperty, std::uint32_t,                                                                  \
      (const ::host::GuidRecord* element, const ::host::IFCPropertyRecord* property), ::host::kScopeUndo)    \
    X(setElementIFCAttribute, std::uint32_t,                                                                 \
      (const ::host::GuidRecord* element, const ::host::IFCAttributeRecord* attribute), ::host::kScopeUndo)  \
    X(removeElementIFCProperty, std::uint32_t,                                                               \
      (const ::host::GuidRecord* element, const ::host::IFCPropertyRecord* property), ::host::kScopeUndo)    \
    /* --- classification systems and their item trees; get by guid (kErrBadIndex when unknown).      */     \
    /*     Items of an element come as (system, item) pairs; add gives the element the item (an item  */     \
    /*     of a system it has replaces that one), remove takes it away (nothing to do when not held); */     \
    /*     both kErrBadIndex for an element or item the project lacks.                                */     \
    /*     create: the host gives the new guid. A tool default by type and variation needs no scope   */     \
    X(getClassificationSystems, std::uint32_t,                                                               \
      (::host::Array<::host::ClassificationSystemRecord> * systems), ::host::kScopeNone)                     \
    X(getClassificationSystem, std::uint32_t, (::host::ClassificationSystemRecord * system),                 \
      ::host::kScopeNone)                                                                                    \
    X(getClassificationItem, std::uint32_t, (::host::ClassificationItemRecord * item), ::host::kScopeNone)   \
    X(getClassificationTopItems, std::uint32_t,                                                              \
      (const ::host::GuidRecord* system, ::host::Array<::host::ClassificationItemRecord>* items),            \
      ::host::kScopeNone)                                                                                    \
    X(getClassificationChildren, std::uint32_t,                                                              \
      (const ::host::GuidRecord* item, ::host::Array<::host::ClassificationItemRecord>* items),              \
      ::host::kScopeNone)                                                                                    \
    X(getClassificationItemSystem, std::uint32_t,                                                            \
      (const ::host::GuidRecord* item, ::host::ClassificationSystemRecord* system), ::host::kScopeNone)      \
    X(getClassificationItemParent, std::uint32_t,                                                            \
      (const ::host::GuidRecord* item, ::host::ClassificationItemRecord* parent), ::host::kScopeNone)        \
    X(createClassificationSystem, std::uint32_t, (::host::ClassificationSystemRecord * system),              \
      ::host::kScopeUndo)                                                                                    \
    X(changeClassificationSystem, std::uint32_t, (const ::host::ClassificationSystemRecord* system),         \
      ::host::kScopeUndo)                                                                                    \
    X(createClassificationItem, std::uint32_t,                                                               \
      (::host::ClassificationItemRecord * item, const ::host::GuidRecord* system,                            \
       const ::host::GuidRecord* parent, const ::host::GuidRecord* placement),                               \
      ::host::kScopeUndo)                                                                                    \
    X(changeClassificationItem, std::uint32_t, (const ::host::ClassificationItemRecord* item),               \
      ::host::kScopeUndo)                                                                                    \
    X(getElementClassifications, std::uint32_t,                                                              \
      (const ::host::GuidRecord* element, ::host::Array<::host::ClassificationPairRecord>* pairs),           \
      ::host::kScopeNone)                                                                                    \
    X(getDefaultClassifications, std::uint32_t,                                                              \
      (std::int32_t type, std::int32_t variation, ::host::Array<::host::ClassificationPairRecord> * pairs),  \
      ::host::kScopeNone)                                                                                    \
    X(addElementClassification, std::uint32_t,                                                               \
      (const ::host::GuidRecord* element, const ::host::GuidRecord* item), ::host::kScopeUndo)               \
    X(removeElementClassification, std::uint32_t,                                                            \
      (const ::host::GuidRecord* element, const ::host::GuidRecord* item), ::host::kScopeUndo)               \
    X(addDefaultClassification, std::uint32_t,                                                               \
      (std::int32_t type, std::int32_t variation, const ::host::GuidRecord* item), ::host::kScopeNone)       \
    X(removeDefaultClassification, std::uint32_t,                                                            \
      (std::int32_t type, std::int32_t variation, const ::host::GuidRecord* item), ::host::kScopeNone)       \
    /* --- the 3D window: a new sight of it with one reference for the caller (HostModeler.h);       */      \
    /*     kErrRefusedCommand while it is not the front window. The 3D component record of a kind    */      \
    /*     and index (kind 7: a surface material; kErrBadIndex when the project lacks it)            */      \
    X(getCurrentWindowSight, std::uint32_t, (::host::ModelerSight * *sight), ::host::kScopeNone)             \
    X(get3DComponent, std::uint32_t, (::host::Component3DRecord * component), ::host::kScopeNone)            \
    /* --- property groups and definitions, and the values of elements and tool defaults. get by    */       \
    /*     guid: kErrBadIndex when the project has none. definitions: of one group, or of all when the */    \
    /*     group guid is null. create: the host gives the new guid; create and change refuse an empty */     \
    /*     or taken name (kErrBadName) and contradictory records (kErrBadParameters). Element values: */     \
    /*     one record per definition asked for (kErrBadIndex for an unknown one), the element's own   */     \
    /*     value or else the default with isDefault set; set: every record's definition must be       */     \
    /*     available for the element's classification items, all or none. filter 0: every definition */      \
    /*     available for the tool default's items. A tool default by type and variation needs no scope */    \
    X(getPropertyGroups, std::uint32_t, (::host::Array<::host::PropertyGroupRecord> * groups),               \
      ::host::kScopeNone)                                                                                    \
    X(getPropertyGroup, std::uint32_t, (::host::PropertyGroupRecord * group), ::host::kScopeNone)            \
    X(getPropertyDefinitions, std::uint32_t,                                                                 \
      (const ::host::GuidRecord* group, ::host::Array<::host::PropertyDefinitionRecord>* definitions),       \
      ::host::kScopeNone)                                                                                    \
    X(getPropertyDefinition, std::uint32_t, (::host::PropertyDefinitionRecord * definition),                 \
      ::host::kScopeNone)                                                                                    \
    X(createPropertyGroup, std::uint32_t, (::host::PropertyGroupRecord * group), ::host::kScopeUndo)         \
    X(changePropertyGroup, std::uint32_t, (const ::host::PropertyGroupRecord* group), ::host::kScopeUndo)    \
    X(createPropertyDefinition, std::uint32_t, (::host::PropertyDefinitionRecord * definition),              \
      ::host::kScopeUndo)                                                                                    \
    X(changePropertyDefinition, std::uint32_t, (const ::host::PropertyDefinitionRecord* definition),         \
      ::host::kScopeUndo)                                                                                    \
    X(getElementProperties, std::uint32_t,                                                                   \
      (const ::host::GuidRecord* element, const ::host::Array<::host::GuidRecord>* definitions,              \
       ::host::Array<::host::PropertyRecord>* properties),                                                   \
      ::host::kScopeNone)                                                                                    \
    X(setElementProperties, std::uint32_t,                                                                   \
      (const ::host::GuidRecord* element, const ::host::Array<::host::PropertyRecord>* properties),          \
      ::host::kScopeUndo)                                                                                    \
    X(getDefaultPropertyDefinitions, std::uint32_t,                                                          \
      (std::int32_t type, std::int32_t variation, std::int32_t filter,                                       \
       ::host::Array<::host::PropertyDefinitionRecord> * definitions),                                       \
      ::host::kScopeNone)                                                                                    \
    X(getDefaultProperties, std::uint32_t,                                                                   \
      (std::int32_t type, std::int32_t variation,                                                            \
       const ::host::Array<::host::PropertyDefinitionRecord>* definitions,                                   \
       ::host::Array<::host::PropertyRecord>* properties),                                                   \
      ::host::kScopeNone)                                                                                    \
    X(setDefaultProperties, std::uint32_t,                                                                   \
      (std::int32_t type, std::int32_t variation, const ::host::Array<::host::PropertyRecord>* properties),  \
      ::host::kScopeNone)                                                                                    \
    /* --- plan shapes (HostShapes.h): the host draws the piece by piece into the callback, which  */        \
    /*     answers 0 to go on (another result stops the drawing and is answered). element: by its    */      \
    /*     head's guid, in the current database. library part: by index, as it draws for the placed   */     \
    /*     element of the guid (its sizes; the part's own without one) and the part index (0: whole)  */     \
    X(drawElementShape, std::uint32_t,                                                                       \
      (const ::host::ElementHead* head, ::host::HostShapeCallback callback), ::host::kScopeNone)             \
    X(drawLibraryPartShape, std::uint32_t,                                                                   \
      (std::int32_t libraryIndex, const ::host::GuidRecord* element, std::int16_t partIndex,                 \
       ::host::HostShapeCallback callback),                                                                  \
      ::host::kScopeNone)                                                                                    \
    /* --- the module's own string resources: item (1-based) of a string list, as a new handle of   */       \
    /*     UTF-16 code units without a terminator; kErrBadIndex when the list or item is missing     */      \
    X(getString, std::uint32_t, (std::int16_t listId, std::int32_t item, ::host::Handle * text),             \
      ::host::kScopeNone)                                                                                    \
    /* --- the module's resource number for the dialog library (HostDialogLibrary.h)               */        \
    X(getResourceModule, std::uint32_t, (std::int32_t * module), ::host::kScopeNone)

// Puts the context in front of a slot's parameter list: HOST_WITH_CONTEXT (int a) is
// (host::HostContext* context, int a).
#define HOST_WITH_CONTEXT(...) (::host::HostContext * context __VA_OPT__(, ) __VA_ARGS__)

extern "C" {

// The table as it crosses to the module. `size` is sizeof(HostFunctionTable) of the host that built
// it: a module built against a longer table treats the slots past it as empty.
struct HostFunctionTable {
    std::uint32_t size;
    std::uint32_t slotCount;
#define HOST_TABLE_MEMBER(slot, result, parameters, scope) result(*slot) HOST_WITH_CONTEXT parameters;
    HOST_FUNCTION_SLOTS(HOST_TABLE_MEMBER)
#undef HOST_TABLE_MEMBER
};

}   // extern "C"

enum class HostSlot : std::uint16_t {
#define HOST_SLOT_ENUM(slot, result, parameters, scope) slot,
    HOST_FUNCTION_SLOTS(HOST_SLOT_ENUM)
#undef HOST_SLOT_ENUM
};

inline constexpr std::size_t kHostSlotCount = 0
#define HOST_SLOT_COUNT(slot, result, parameters, scope) +1
    HOST_FUNCTION_SLOTS(HOST_SLOT_COUNT)
#undef HOST_SLOT_COUNT
    ;

static_assert(sizeof(HostFunctionTable) == 8 + kHostSlotCount * sizeof(void*));

// The slot's name as in the list ("database"); "?" for a value outside the list.
constexpr const char* hostSlotName(HostSlot slot) {
    constexpr const char* kNames[] = {
#define HOST_SLOT_NAME(slot, result, parameters, scope) #slot,
        HOST_FUNCTION_SLOTS(HOST_SLOT_NAME)
#undef HOST_SLOT_NAME
    };
    const auto index = static_cast<std::size_t>(slot);
    return index < kHostSlotCount ? kNames[index] : "?";
}

constexpr HostScope hostSlotScope(HostSlot slot) {
    constexpr HostScope kScopes[] = {
#define HOST_SLOT_SCOPE(slot, result, parameters, scope) scope,
        HOST_FUNCTION_SLOTS(HOST_SLOT_SCOPE)
#undef HOST_SLOT_SCOPE
    };
    const auto index = static_cast<std::size_t>(slot);
    return index < kHostSlotCount ? kScopes[index] : kScopeNone;
}

// Whether the table holds a function for the slot, and emptying a slot (tests empty one in a copy of
// the table to see how the add-on answers a host that lacks it).
inline bool hostSlotIsFilled(const HostFunctionTable& table, HostSlot slot) {
    switch (slot) {
#define HOST_SLOT_FILLED(name, result, parameters, scope) \
    case HostSlot::name:                                  \
        return table.name != nullptr;
        HOST_FUNCTION_SLOTS(HOST_SLOT_FILLED)
#undef HOST_SLOT_FILLED
    }
    return false;
}

inline void clearHostSlot(HostFunctionTable& table, HostSlot slot) {
    switch (slot) {
#define HOST_SLOT_CLEAR(name, result, parameters, scope) \
    case HostSlot::name:                                 \
        table.name = nullptr;                            \
        break;
        HOST_FUNCTION_SLOTS(HOST_SLOT_CLEAR)
#undef HOST_SLOT_CLEAR
    }
}

}   // namespace host
