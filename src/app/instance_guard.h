// Process-wide start-up state: whether this process is the first instance of
// the program in the user's session, the program's version information and
// the key paths of its settings. Set up first at start-up, released last at
// exit; main thread only.
#pragma once

#include <string>
#include <string_view>

#include "app/version_info.h"

namespace ff {

struct InstanceGuardSetup {
  // The application's title; empty: ApplicationTitle(the executable).
  std::string title;
  // Where the instance lock lives; empty: InstanceLockFolder().
  std::string lockFolder;
  // The executable; empty: /proc/self/exe.
  std::string exeFileName;
  // The version information; nullptr stands for an executable without any.
  const VersionInfo* versionInfo = &ProgramVersionInfo();
};

// In this order: takes the lock "PREVINST:" + title (an exclusive flock on a
// file of that name in the lock folder, held until DoneInstanceGuard or the
// end of the process), notes whether it got it, notes the executable, loads
// the version information and completes ProgramKeyPath. Called once.
void InitInstanceGuard(const InstanceGuardSetup& setup = {});

// Forgets the version information, gives the lock up and empties the key
// paths. Called once, after everything that reads the key paths is gone.
void DoneInstanceGuard();

// True only when this process took the instance lock; false when another
// process holds it or the lock could not be made.
bool IsFirstInstance();

// The running executable's full path.
const std::string& ExeFileName();

// "Software\Tallmark\" + the internal name of the version information
// ("Software\Tallmark\Fotoferry"); + the executable's file name when there
// is no version information. Relative to a hive of the key store.
const std::string& ProgramKeyPath();

// "Software\Microsoft\Windows\CurrentVersion\Run", the autostart key.
const std::string& RunKeyPath();

// One string of the version information ("FileVersion", "Comments", ...);
// empty when there is no version information or no such string.
std::string GetVersionInfoString(std::string_view name);

// The title an application gives itself: the executable's file name up to
// its first ".", the first character kept, the others in lower case
// ("FotoFerry.Setup.exe" gives "Fotoferry").
std::string ApplicationTitle(std::string_view exeFileName);

// $XDG_RUNTIME_DIR when it names a folder; otherwise /tmp/fotoferry-<uid>,
// made private to the user. Empty when no safe folder can be had.
std::string InstanceLockFolder();

// Makes path a folder only the user can use: created with mode 0700 where
// missing; an existing one must be a real folder owned by the user (its mode
// is then narrowed to 0700). False when that cannot be ensured.
bool EnsurePrivateFolder(const std::string& path);

}  // namespace ff
