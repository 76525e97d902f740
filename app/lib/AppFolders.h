#pragma once
// Where the client finds its packages and keeps its files, whatever the current folder:
// - MARVENLOT_HOME=<folder> (tests, portable runs): packages in <folder>/data, everything else in
//   <folder>;
// - installed (the packages under share/marvenlot/data beside the program's bin folder): the user's
//   XDG folders, config.ini in $XDG_CONFIG_HOME/marvenlot, the start-up log and crash dumps in
//   $XDG_STATE_HOME/marvenlot (~/.config and ~/.local/state by default);
// - in its build tree (the program in <tree>/app, the packages in <tree>/data): everything in <tree>;
// - anywhere else: the current folder, with the packages in its data folder.

#include <string>

struct AppFolders {
    std::string packages;  // the *.mpk files
    std::string config;    // config.ini
    std::string state;     // StartLog.log and ErrorDump.dmp
};

// What the choice depends on, so that tests can give a fake program path.
struct FolderInputs {
    std::string executableDir;
    std::string currentDir;
    std::string marvenlotHome;  // MARVENLOT_HOME
    std::string xdgConfigHome;
    std::string xdgStateHome;
    std::string userHome;
};

AppFolders ResolveAppFolders(const FolderInputs& inputs);

// The folders of this process, from /proc/self/exe, the current folder and the environment.
AppFolders CurrentAppFolders();

// Creates the config and state folders (mode 0700) where missing; false when one cannot be made.
bool CreateAppFolders(const AppFolders& folders);
