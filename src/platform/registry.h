// The typed key store that stands in for the registry: each hive is one
// ".reg" text file in the config folder (HKEY_CURRENT_USER.reg,
// HKEY_LOCAL_MACHINE.reg). Every change takes an exclusive lock on a lock
// file beside the hive, re-reads the file under it and replaces the file
// atomically, so concurrent changes from several processes are all kept and
// a crash leaves the previous file whole. A hive file that cannot be parsed
// is moved aside (HKEY_....reg.corrupt), reported once on stderr, and the
// hive starts empty. One thread uses a Registry object at a time.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/paths.h"
#include "platform/reg_file.h"

namespace ff {

enum class RootKey { CurrentUser, LocalMachine };

// "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE"; also the hive file's name
// without its ".reg".
std::string_view HiveName(RootKey root);

// The kinds of data a value can hold, as the program distinguishes them.
enum class RegDataType { Unknown, String, ExpandString, Integer, Binary };

class Registry {
 public:
  // folder holds the hive files; it is created when a key is created.
  explicit Registry(RootKey root, std::string folder = ConfigFolder());

  const std::string& FilePath() const { return file_; }

  // Opens key (a path below the hive, levels separated by "\") for full
  // access, which needs its file to be writable. With canCreate a missing
  // key is created and stored at once. Answers false when the key does not
  // exist (and may not be created) or its file cannot be written; the
  // previously open key is closed in any case.
  bool OpenKey(std::string_view key, bool canCreate);
  void CloseKey();
  bool HasCurrentKey() const { return !current_.empty(); }

  // True when key exists below the hive (read access is enough).
  bool KeyExists(std::string_view key);

  // The rest works on the open key; without one, nothing exists, reads fail
  // with "Failed to get data for '%s'" and writes with "Failed to set data
  // for '%s'".
  bool ValueExists(std::string_view name);
  std::optional<RegDataType> GetDataType(std::string_view name);

  // A REG_SZ or REG_EXPAND_SZ value's text, unexpanded. Throws ff::Error
  // "Invalid data type for '%s'" for another type and "Failed to get data
  // for '%s'" for a missing value.
  std::string ReadString(std::string_view name);
  // A REG_DWORD value as a signed number. Throws "Failed to get data for
  // '%s'" for a missing value or one whose data is longer than four bytes,
  // "Invalid data type for '%s'" for another type.
  std::int32_t ReadInteger(std::string_view name);
  // ReadInteger() != 0.
  bool ReadBool(std::string_view name);

  // Store one value in the open key (created again if another process
  // removed it). Throw ff::Error "Failed to set data for '%s'" when the
  // hive file cannot be written or the name cannot be stored.
  void WriteString(std::string_view name, std::string_view value);
  void WriteExpandString(std::string_view name, std::string_view value);
  void WriteInteger(std::string_view name, std::int32_t value);
  void WriteBool(std::string_view name, bool value);  // 1 or 0

  // Removes the value. Answers false when it did not exist or the hive file
  // could not be written.
  bool DeleteValue(std::string_view name);

 private:
  struct Stamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t modified = 0;
    bool operator==(const Stamp&) const = default;
  };

  std::string FullPath(std::string_view key) const;
  const RegDocument& Current();
  const RegValue* Find(std::string_view name);
  const RegValue& Get(std::string_view name);
  void Store(RegValue value);
  // Runs change on the freshly read document under the lock, then writes
  // the result. Answers false (errno in error) when nothing was stored.
  template <typename Change>
  bool Modify(Change change, int& error);
  // Parses text; a file that does not parse is moved aside under the lock.
  bool Load(const std::string& text, RegDocument& doc, bool locked);
  Stamp StampOf() const;

  RootKey root_;
  std::string folder_;
  std::string file_;
  std::string lock_;
  std::string current_;  // full path of the open key, empty when none
  RegDocument cache_;
  std::optional<Stamp> cacheStamp_;
};

}  // namespace ff
