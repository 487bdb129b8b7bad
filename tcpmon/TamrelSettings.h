#pragma once

#include <QString>

class IniFile;

namespace tamrel {

// Where the settings file lives and what it holds: section "TCPServer", key
// "Server Port", default "8888".

// The program's path with its extension replaced by ".ini" ("Tamrel_S" and
// "Tamrel_S.exe" both give "Tamrel_S.ini" beside the program).
[[nodiscard]] QString SettingsBesideProgram(const QString& programPath);

// The settings file to read and write: beside the program when that folder
// is writable, otherwise "Tamrel_S.ini" in the user's configuration folder
// ($XDG_CONFIG_HOME when set and absolute, else home + "/.config").
[[nodiscard]] QString TamrelSettingsPath(const QString& programPath, bool programFolderWritable,
                                         const QString& xdgConfigHome, const QString& home);

// Whether files can be created in the folder (it exists, is a folder, and a
// file can be made in it).
[[nodiscard]] bool FolderWritable(const QString& folder);

// The path for this process: the program's own path, the folder probe and
// the environment. An installed program (RunsInstalled) keeps its settings in
// $XDG_CONFIG_HOME/telemon/Tamrel_S.ini, never in the system's folder.
[[nodiscard]] QString TamrelSettingsPathForThisProgram();

[[nodiscard]] QString ReadServerPort(const IniFile& settings);
// Writes the key and the file; throws EInOutError when the file cannot be written.
void WriteServerPort(IniFile& settings, const QString& serverPort);

} // namespace tamrel
