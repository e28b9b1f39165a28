// Where the reader's files are: the program folder (the law database and the
// files that ship with it) and the folder of the user's own files
// (bookmarks, pinpoint choices, added short names of laws, the user's copy of
// the law database).
//
// A build folder or a portable copy keeps everything in its one folder, as
// it always did. An installation (the program folder under share/ beside the
// executable's bin/) or a folder the user may not write keeps the user's
// files in the user's data folder, which the caller finds at the Qt boundary
// (QStandardPaths) and passes in. Paths are plain, end in "/", and no user
// file is ever overwritten: one is carried over only where none exists.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velto {

// The user's data folder of the reader, below the system's data location
// ($XDG_DATA_HOME, ~/.local/share).
inline constexpr std::string_view kUserFolderName = "mokume88/ヴェルト/";
// The program folder of an installation, relative to the executable's folder.
inline constexpr std::string_view kInstalledProgramFolder = "../share/velto/";
inline constexpr std::string_view kLawDatabaseFile = "VT2014.m88";
// The user's files an earlier start may have left in the program folder.
inline constexpr std::string_view kCarriedUserFiles[] = {"velto14.bmk", "velto14.ppj"};

struct ProgramFolder {
    std::string path;       // ending in "/"
    bool installed = false; // found as the share/ folder of an installation
};

// The program folder of an executable in `executable_dir`: `named` when
// given (--program-dir; an installation when it is the installation's share
// folder beside the executable), else that folder when it holds the law
// database (a build folder, a portable copy), else the installation's share
// folder beside it when that holds the database, else `executable_dir`
// (whose missing database start-up then names).
ProgramFolder program_folder_of(const std::string& executable_dir, const std::string& named = {});

// True when a file can be created in `folder` (it exists and takes files).
bool folder_takes_files(const std::string& folder);

// The folder of the user's files for `program`: the program folder itself
// when it is not an installation and takes files, else `user_data_dir`
// (with a trailing "/"; the program folder when that is empty). Creates nothing.
std::string user_folder_for(const ProgramFolder& program, const std::string& user_data_dir);

// Creates `user_dir` when it differs from `program_dir` and copies into it
// each of kCarriedUserFiles that the program folder holds and the user folder
// does not. Returns the names copied; a file that cannot be copied is left
// where it was.
std::vector<std::string> carry_over_user_files(const std::string& program_dir, const std::string& user_dir);

} // namespace velto
