// Every text the program writes for the user, in one place: a change of
// words is one line here and the manual page. Each definition is a plain
// string, so that the scripted tests read them from this file too
// (tests/words.py), and the manual-page test walks every one of them.
// Only the system's own words for an error number are elsewhere
// (reason.cpp).
#ifndef STAMPWISE_CONSOLE_WORDS_HPP
#define STAMPWISE_CONSOLE_WORDS_HPP

namespace stampwise::words {

// The banner and the instructions, each in a 67-character record.
inline constexpr const char* kTitle = "Program Stampwise, Version 1.0, 21 September, 2015";
inline constexpr const char* kInstruction1 =
    "Enter folder name containing Reconyx relabeld jpg files, then ENTER";
inline constexpr const char* kInstruction2 =
    "The folder name is case sensitive and cannot have embedded blanks";
inline constexpr const char* kInstruction3 =
    "Examples: Acceptable: AllLocations, My_Data, Error: All Locations";
// The closing line, and the problem message in a 73-character record.
inline constexpr const char* kClosing = "Done ... Press ENTER to terminate normally";
inline constexpr const char* kProblem =
    "There was a problem with the folder name ... Press Enter to terminate";
// Before the new path, right-aligned in 50 characters.
inline constexpr const char* kSuccess = "Successfully renamed ";
// The stop notice on standard error, with its line end.
inline constexpr const char* kStop = "STOP\n";

// The list file, in the working directory.
inline constexpr const char* kListFileName = "AllFiles.txt";

// " Not renamed: PATH: REASON", a picture left as it is.
inline constexpr const char* kNotRenamed = "Not renamed: ";
inline constexpr const char* kPathTooLong = "the path is longer than 50 characters";
inline constexpr const char* kEndsInBlank = "its name ends in a blank";
inline constexpr const char* kEndsInDot = "its name ends in a dot, which Windows would drop";
inline constexpr const char* kNoStamp = "its name does not begin with a time stamp";
inline constexpr const char* kPastTheLastStamp =
    "a later time stamp would pass hour 59 or year 2059";
inline constexpr const char* kTakenTooOften =
    "more new names were refused as taken than the folder has entries";
inline constexpr const char* kEmptyFile =
    "it is empty, and a picture never is (an interrupted run may leave such a file: safe to "
    "delete)";
inline constexpr const char* kTakenMeanwhile = "another program took its new name meanwhile";
inline constexpr const char* kMovedMeanwhile = "another program moved it meanwhile";
// After the system's reason, where a half-done link could not be undone.
inline constexpr const char* kBothNames = "; the picture now has both names, the old and the new";

// " Left behind: PATH: REASON; WHAT", an empty file of the program's own
// that it could not remove.
inline constexpr const char* kLeftBehind = "Left behind: ";
inline constexpr const char* kLeftover = "an empty file of this program's own, safe to delete";

// " Interrupted: N picture(s) renamed; ...", the last line of an
// interrupted run.
inline constexpr const char* kInterrupted = "Interrupted: ";
inline constexpr const char* kPictureRenamed = " picture renamed";
inline constexpr const char* kPicturesRenamed = " pictures renamed";
inline constexpr const char* kRestAsTheyWere = "; the rest are left as they were";

// " Not written to the disk: PATH: REASON; CONSEQUENCE".
inline constexpr const char* kNotWritten = "Not written to the disk: ";
inline constexpr const char* kMayHoldOldName = "the disk may still hold the picture as ";
inline constexpr const char* kRunNotWritten = "the disk may not hold every rename of this run";

// The line before "There was a problem with the folder name ...".
inline constexpr const char* kNoFolderName = "No folder name was typed.";
inline constexpr const char* kFolderTooLong =
    "The folder name is longer than 26 characters (a letter outside A-Z may count as two or "
    "more).";
inline constexpr const char* kFolderBlanks =
    "The folder name cannot have blanks in it or before it.";
inline constexpr const char* kFolderControl =
    "The folder name cannot have control characters (such as NUL or TAB) in it.";
inline constexpr const char* kFolderDrive =
    "The folder name cannot be a drive's current folder, such as D: or D:Cam1; type the whole "
    "path, such as D:/Cam1.";
inline constexpr const char* kFolderRaw =
    "The folder name cannot begin with \\\\?\\, \\\\.\\ or \\??\\.";
inline constexpr const char* kFolderEndsInDot =
    "The folder name cannot end in a dot, which Windows would drop.";

// Lines on standard error, after "NAME: ".
inline constexpr const char* kAnotherRun = "another run of the program is using it here";
inline constexpr const char* kAnotherRunInFolder =
    "another run of the program is renaming pictures in this folder";
// "NAME: N name(s) with a line feed left out of the list".
inline constexpr const char* kOneName = " name ";
inline constexpr const char* kNames = " names ";
inline constexpr const char* kLineFeedNames = "with a line feed left out of the list";

// The report of a failed input or output, three lines on standard error:
// the error number, the statement, the unit and the message; the unit's
// file and how many records it had; where the failing statement stands.
inline constexpr const char* kReportError = "stampwise: error %d in %s on unit %d: %s\n";
inline constexpr const char* kReportUnit =
    "stampwise: unit %d is %s, formatted, sequential access, %ld records done\n";
inline constexpr const char* kReportStatement = "stampwise: failing statement at %s:%d\n";
inline constexpr const char* kEndOfFileText = "attempt to read past end of file";
inline constexpr const char* kHostErrorText = "error code returned by host stdio";
inline constexpr const char* kFormattedRead = "formatted read";
inline constexpr const char* kListRead = "list-directed read";
inline constexpr const char* kFormattedWrite = "formatted write";
inline constexpr const char* kListWrite = "list-directed write";
inline constexpr const char* kOpen = "OPEN";
inline constexpr const char* kClose = "CLOSE";
inline constexpr const char* kStdin = "stdin";
inline constexpr const char* kStdout = "stdout";
inline constexpr const char* kStderr = "stderr";

}  // namespace stampwise::words

#endif  // STAMPWISE_CONSOLE_WORDS_HPP
