#pragma once
// The start-up loader: the OID tree from etc/mib and the plug-ins of lib,
// run once on the loader thread behind the splash window. Directory entries
// are taken in sorted order of their names, so a run does not depend on the
// order in which the file system happens to list them.

#include <string>
#include <vector>

namespace loader {

// Names of the regular files of dir whose name ends in ext, compared without
// regard to case as a wildcard search would, sorted byte-wise. Empty when
// the directory cannot be read.
std::vector<std::string> ListFiles(const std::string& dir, const std::string& ext);

// MIBTree::Initialize, then every other module of startDir/etc/mib with two
// retry passes over the modules that failed: errors are shown only in the
// last pass. Returns the paths still failing after the last pass.
std::vector<std::string> LoadMibModules(const std::string& startDir);
// The same over several folders in order (an installed copy: its own
// modules, then the operator's); mib-2.mib is skipped in the first only.
std::vector<std::string> LoadMibModules(const std::vector<std::string>& dirs);

// Every library of startDir/lib; one message per library that does not
// load. Returns the number of libraries loaded.
int LoadPlugins(const std::string& startDir);
// The same for the libraries of one folder.
int LoadPluginDir(const std::string& pluginDir);

// The message for a library that failed to load.
std::string LoadErrorText(const std::string& fileName, int code, const std::string& detail);

// The whole loader: modules, then plug-ins; an installed copy takes its
// folders from AppConstants instead of startDir.
void Run(const std::string& startDir);

}  // namespace loader
