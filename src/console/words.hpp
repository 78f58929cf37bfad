// Every line and reason that the program writes for the user, in one
// place: a change of words is one line here, the manual page, and the test
// that holds the two together (tests/words_test.cpp).
#ifndef STAMPWISE_CONSOLE_WORDS_HPP
#define STAMPWISE_CONSOLE_WORDS_HPP

namespace stampwise::words {

// The banner and the instructions, each in a 67-character record.
inline constexpr const char* kTitle = "Program Stampwise, Version 1.0, 21 September, 2015";
inline constexpr const char* kInstructions[] = {
    "Enter folder name containing Reconyx relabeld jpg files, then ENTER",
    "The folder name is case sensitive and cannot have embedded blanks",
    "Examples: Acceptable: AllLocations, My_Data, Error: All Locations",
};
// The closing line, and the problem message in a 73-character record.
inline constexpr const char* kClosing = "Done ... Press ENTER to terminate normally";
inline constexpr const char* kProblem =
    "There was a problem with the folder name ... Press Enter to terminate";
// Before the new path, right-aligned in 50 characters.
inline constexpr const char* kSuccess = "Successfully renamed ";

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

// " Interrupted: N pictures renamed; ...", the last line of an interrupted run.
inline constexpr const char* kInterrupted = "Interrupted: ";
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
inline constexpr const char* kLineFeedNames = "with a line feed left out of the list";

// Each reason above that a line of the console can end with: the manual
// page names every one.
inline constexpr const char* kAll[] = {
    kPathTooLong,    kEndsInBlank,        kEndsInDot,     kNoStamp,         kPastTheLastStamp,
    kTakenTooOften,  kBothNames + 2,      kRunNotWritten, kEmptyFile,       kTakenMeanwhile,
    kMovedMeanwhile, kLeftover,           kNoFolderName,  kFolderTooLong,   kFolderBlanks,
    kFolderControl,  kFolderDrive,        kFolderRaw,     kFolderEndsInDot, kAnotherRun,
    kLineFeedNames,  kAnotherRunInFolder,
};

}  // namespace stampwise::words

#endif  // STAMPWISE_CONSOLE_WORDS_HPP
