// The product's string lists and the items it reads from them (Resources/Skellowing.strings).
#pragma once

#include <cstdint>

namespace skellow::strings {

inline constexpr std::int16_t kMenu = 32500;   // 1 the menu's title, 2..6 the five commands
inline constexpr std::int16_t kTitles = 32520;
inline constexpr std::int32_t kInitialisingTitle = 1;   // "Initialising Skellowing"
inline constexpr std::int32_t kSourceNameTitle = 2;     // "IFC source name"
inline constexpr std::int32_t kSkellowingTitle = 3;     // "Skellowing Elements"

inline constexpr std::int16_t kPopup = 32521;   // 1 add, 2 rename "$1", 3 delete "$1"

inline constexpr std::int16_t kMessages = 32522;
inline constexpr std::int32_t kNothingFound = 1;
inline constexpr std::int32_t kReplacedLine = 2;   // "$1": a count
inline constexpr std::int32_t kMissingLine = 3;
inline constexpr std::int32_t kFailedLine = 4;
inline constexpr std::int32_t kGatheringParts = 5;
inline constexpr std::int32_t kReinstallTable = 6;
inline constexpr std::int32_t kNameUsed = 7;
inline constexpr std::int32_t kNewSourcePrompt = 8;
inline constexpr std::int32_t kRenameSourcePrompt = 9;
inline constexpr std::int32_t kLastSource = 10;
inline constexpr std::int32_t kNoPartMatches = 11;
inline constexpr std::int32_t kSearching = 12;
inline constexpr std::int32_t kSkellowingPhase = 13;
inline constexpr std::int32_t kGettingSelected = 14;
inline constexpr std::int32_t kProjectUnread = 15;
inline constexpr std::int32_t kChoiceNotStored = 16;
inline constexpr std::int32_t kSettingsUnread = 17;
inline constexpr std::int32_t kRefusedLine = 18;   // "$1": a count
inline constexpr std::int32_t kUnnamedLine = 19;   // "$1": a count
inline constexpr std::int32_t kPartNotChosen = 20;
inline constexpr std::int32_t kToolUnread = 21;
inline constexpr std::int32_t kRowsNotShown = 22;   // "$1": a count of names
inline constexpr std::int32_t kRowNotShown = 23;    // the same for one name

inline constexpr std::int16_t kQuestions = 32523;
inline constexpr std::int32_t kNoLibraryParts = 1;
inline constexpr std::int32_t kConfirmRun = 2;
inline constexpr std::int32_t kNotAvailable = 3;

inline constexpr std::int16_t kTableFile = 32524;
inline constexpr std::int32_t kUnreadableTable = 3;
inline constexpr std::int32_t kUnwritableTable = 4;
inline constexpr std::int32_t kReadFaultAt = 5;    // "$1" the file, "$2" the line, "$3" the column, "$4" why
inline constexpr std::int32_t kKeptAsBackup = 6;   // "$1" the backup's name
// Why a save failed: "$1" the file, the folder or (cut short) the file.
inline constexpr std::int32_t kReadOnlyTable = 7;
inline constexpr std::int32_t kNoNewFile = 8;
inline constexpr std::int32_t kTextNotKept = 9;
inline constexpr std::int32_t kCutShort = 10;
inline constexpr std::int32_t kNotReplaced = 11;
// A read that left something out: "$1" the copy kept; then one line for each thing left out.
inline constexpr std::int32_t kLeftOut = 12;
// "$1" source, "$2" configuration, "$3" name, "$4" why
inline constexpr std::int32_t kParameterLeftOut = 13;
inline constexpr std::int32_t kNoParameterName = 14;   // 14 to 18: why, by XMLParameter::Fault
inline constexpr std::int32_t kBadColumnCount = 15;
inline constexpr std::int32_t kNoParameterValue = 16;
inline constexpr std::int32_t kRowsUnfilled = 17;             // "$1" values, "$2" columns
inline constexpr std::int32_t kUnknownParameterType = 18;     // "$1" the type
inline constexpr std::int32_t kDuplicateConfiguration = 19;   // "$1" the name, "$2" the kind's text
inline constexpr std::int32_t kNotUtf8 = 20;
inline constexpr std::int32_t kNoDataFolder = 21;   // "$1" the folder
inline constexpr std::int32_t kFileUnread = 22;     // "$1" the file, "$2" why (a read fault)
inline constexpr std::int32_t kControlCharacterName = 23;
inline constexpr std::int32_t kLinkLeadsNowhere = 24;   // "$1" the file
inline constexpr std::int32_t kUsedButNotKept = 25;     // below why a save failed
inline constexpr std::int32_t kNoBackupName = 26;   // "$1" the file, "$2" and "$3" the names, "$4" the folder
inline constexpr std::int32_t kSavedBeside = 27;    // "$1" the file, "$2" this run's table
inline constexpr std::int32_t kConflictLine = 28;   // "$1" source, "$2" configuration, "$3" the kind's text
inline constexpr std::int32_t kTableLocked = 29;    // "$1" the file
inline constexpr std::int32_t kUnknownElement = 30;      // "$1" line, "$2" the element, "$3" its parent
inline constexpr std::int32_t kUnknownAttribute = 31;    // "$1" line, "$2" the attribute, "$3" its element
inline constexpr std::int32_t kRepeatedAttribute = 32;   // the same
inline constexpr std::int32_t kMoreLeftOut = 33;         // "$1" a count
inline constexpr std::int32_t kNonXmlCharacterName = 34;
inline constexpr std::int32_t kUnmergeableBeside = 35;   // "$1" the file, "$2" this run's table
inline constexpr std::int32_t kLockNotMade = 36;   // "$1" the lock file, "$2" why: 37 to 41 or the system's
inline constexpr std::int32_t kLockFolder = 37;
inline constexpr std::int32_t kLockLink = 38;
inline constexpr std::int32_t kLockNotAFile = 39;
inline constexpr std::int32_t kLockNotALock = 40;
inline constexpr std::int32_t kLockDenied = 41;
inline constexpr std::int32_t kNoLocation = 42;       // the host gave no data folder or no table name
inline constexpr std::int32_t kNoConflictName = 43;   // "$1" to "$4" as kNoBackupName
// "$1" the file, "$2" the path of a copy of what it held
inline constexpr std::int32_t kOldContentKept = 44;
// "$1" the path of what has the table's name (or its link leads to), when the table is read, then saved
inline constexpr std::int32_t kTableIsFolder = 45;
inline constexpr std::int32_t kTableNotAFile = 46;
inline constexpr std::int32_t kPutBackQuestion = 47;   // "$1" the whole copy beside an unreadable table
inline constexpr std::int32_t kKeptIfPutBack = 48;     // "$1" the unreadable file's backup name
inline constexpr std::int32_t kPutBackButton = 49;
inline constexpr std::int32_t kNewTableButton = 50;
inline constexpr std::int32_t kSaveIntoFolder = 51;
inline constexpr std::int32_t kSaveOverNonFile = 52;
inline constexpr std::int32_t kNoCopyName = 53;   // "$1" to "$4" as kNoBackupName
// "$1" the table's name, "$2" where its link leads, when the table is read
inline constexpr std::int32_t kLinkToFolder = 54;
inline constexpr std::int32_t kLinkToNonFile = 55;
inline constexpr std::int32_t kKeptAtIfPutBack = 56;   // "$1" the path of the unreadable file's backup
inline constexpr std::int32_t kCannotWrite = 57;       // heads a failed save whose cause is no permission
inline constexpr std::int32_t kSystemSaid = 58;        // "$1" the system's reason
inline constexpr std::int32_t kLinkLoop = 59;          // "$1" the table's name
inline constexpr std::int32_t kUnreadBeside = 60;      // "$1" the file, "$2" this run's table
inline constexpr std::int32_t kNoTextMemory = 61;
// "$1" the file written; in 63, "$2" the path of a copy of what it held
inline constexpr std::int32_t kFolderNotFlushed = 62;
inline constexpr std::int32_t kWrittenNotFlushed = 63;
inline constexpr std::int32_t kCopyNotKept = 64;
// Questions about an unreadable table: "$1" a copy's path; "$2" its time and "$3" the table's
inline constexpr std::int32_t kStoppedSaveQuestion = 65;
inline constexpr std::int32_t kOlderCopyQuestion = 66;
inline constexpr std::int32_t kOtherNamesQuestion = 67;
inline constexpr std::int32_t kUnknownTime = 68;       // in place of a time
inline constexpr std::int32_t kCopyNotRecorded = 69;   // "$1" the file
inline constexpr std::int32_t kChangedAgain = 70;      // "$1" the file
// A record of a copy that cannot be followed: "$1" the copy's path, "$2" why (the system's reason or 76, 77)
inline constexpr std::int32_t kUnreachableCopyQuestion = 71;
inline constexpr std::int32_t kUnreadRecordQuestion = 72;   // "$1" the system's reason
inline constexpr std::int32_t kWholeCopyToo = 73;           // "$1" a copy, "$2" its time
inline constexpr std::int32_t kUnreachableCopyLine = 74;    // as 71
inline constexpr std::int32_t kOtherNamesLine = 75;
inline constexpr std::int32_t kCopyReplaced = 76;
inline constexpr std::int32_t kCopyNotWhole = 77;
inline constexpr std::int32_t kNotWrittenToEnd = 78;   // "$1" the file: 10 without the full disk
inline constexpr std::int32_t kSharedUnread = 79;      // "$1" the file
inline constexpr std::int32_t kRepeatedElement = 80;   // as kUnknownElement
inline constexpr std::int32_t kOtherSaveKept = 81;     // "$1" the file, "$2" where the other run's table is
inline constexpr std::int32_t kCutName = 82;           // "$1" the first characters of a long name
inline constexpr std::int32_t kLeftOutNotKept = 83;    // "$1" the folder
inline constexpr std::int32_t kCopyKept = 84;          // "$1" a copy's path, "$2" its time
// "$1" the file, "$2" its size, "$3" the most MiB a table may take; 86 below it when the command stops
inline constexpr std::int32_t kTableTooLarge = 85;
inline constexpr std::int32_t kTooLargeKept = 86;
// "$1" the path where the table's file should be, which the system could not look at: as it is read, saved
inline constexpr std::int32_t kTableUnseen = 87;
inline constexpr std::int32_t kSaveUnseen = 88;
// 44 and 63 for a file that held nothing, which no copy keeps: "$1" the file
inline constexpr std::int32_t kEmptyNotPutBack = 89;
inline constexpr std::int32_t kEmptyNotFlushed = 90;
inline constexpr std::int32_t kSavedNotFinished = 91;   // heads a failed save after which the file holds it

inline constexpr std::int16_t kReadFaults = 32527;   // item n: why a read failed with XMLError n

inline constexpr std::int16_t kConfigurations = 32525;
inline constexpr std::int32_t kDefaultConfiguration = 1;   // "Default"

inline constexpr std::int16_t kUndo = 32526;   // 1 "Skellowing", the command's undo name

inline constexpr std::int16_t kAddon = 32528;
inline constexpr std::int32_t kDataFolderName = 4;   // "Skellowing"
inline constexpr std::int32_t kTableFileName = 5;    // "ObjectMap"

}   // namespace skellow::strings
