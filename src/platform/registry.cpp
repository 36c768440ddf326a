#include "platform/registry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <iostream>

#include "platform/atomic_file.h"
#include "platform/error.h"

namespace ff {
namespace {

[[noreturn]] void Fail(const char* format, std::string_view name) {
  throw Error(std::string(format) + " '" + std::string(name) + "'");
}

[[noreturn]] void GetFailed(std::string_view name) { Fail("Failed to get data for", name); }
[[noreturn]] void SetFailed(std::string_view name) { Fail("Failed to set data for", name); }
[[noreturn]] void WrongType(std::string_view name) { Fail("Invalid data type for", name); }

std::string_view TrimBackslashes(std::string_view key) {
  while (!key.empty() && key.front() == '\\') key.remove_prefix(1);
  while (!key.empty() && key.back() == '\\') key.remove_suffix(1);
  return key;
}

bool NameStorable(std::string_view name) {
  for (char c : name)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
  return true;
}

}  // namespace

std::string_view HiveName(RootKey root) {
  return root == RootKey::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

Registry::Registry(RootKey root, std::string folder)
    : root_(root),
      folder_(std::move(folder)),
      file_(JoinPath(folder_, std::string(HiveName(root)) + ".reg")),
      lock_(file_ + ".lock") {}

std::string Registry::FullPath(std::string_view key) const {
  std::string path(HiveName(root_));
  key = TrimBackslashes(key);
  if (!key.empty()) path += "\\" + std::string(key);
  return path;
}

Registry::Stamp Registry::StampOf() const {
  struct stat st {};
  if (::stat(file_.c_str(), &st) != 0) return Stamp{};
  return Stamp{true, st.st_dev, st.st_ino, st.st_size,
               static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
}

bool Registry::Load(const std::string& text, RegDocument& doc, bool locked) {
  std::string problem;
  if (ParseRegText(text, doc, problem)) return true;
  if (!locked) {
    // Decide under the lock: another process may be replacing the file.
    FileLock lock(lock_);
    if (lock.locked()) {
      std::string again;
      int error = 0;
      if (!ReadWholeFile(file_, again, error)) {
        doc = RegDocument();
        return error == ENOENT;
      }
      return Load(again, doc, true);
    }
  }
  doc = RegDocument();
  int error = 0;
  const std::string aside = MoveAside(file_, ".corrupt", error);
  if (aside.empty()) {
    std::cerr << "fotoferry: the settings file '" << file_ << "' cannot be read (" << problem
              << ") nor moved aside (" << ErrnoText(error) << "); its settings are not used\n";
    return false;
  }
  std::cerr << "fotoferry: the settings file '" << file_ << "' cannot be read (" << problem
            << "); it was kept as '" << aside << "' and the settings start empty\n";
  return true;
}

const RegDocument& Registry::Current() {
  const Stamp stamp = StampOf();
  if (cacheStamp_ && *cacheStamp_ == stamp) return cache_;
  RegDocument doc;
  std::string text;
  int error = 0;
  if (ReadWholeFile(file_, text, error)) Load(text, doc, false);
  cache_ = std::move(doc);
  cacheStamp_ = StampOf();
  return cache_;
}

template <typename Change>
bool Registry::Modify(Change change, int& error) {
  if (!MakeFolders(folder_, error)) return false;
  FileLock lock(lock_);
  if (!lock.locked()) {
    error = lock.error();
    return false;
  }
  RegDocument doc;
  std::string text;
  if (!ReadWholeFile(file_, text, error)) {
    if (error != ENOENT) return false;
  } else if (!Load(text, doc, true)) {
    error = EIO;  // the unreadable file could not be moved aside: never overwrite it
    return false;
  }
  if (change(doc) && !ReplaceFile(file_, FormatRegText(doc), error)) return false;
  cache_ = std::move(doc);
  cacheStamp_ = StampOf();
  return true;
}

bool Registry::OpenKey(std::string_view key, bool canCreate) {
  CloseKey();
  if (!NameStorable(key)) return false;  // a key line cannot hold a line break
  const std::string path = FullPath(key);
  if (Current().Exists(path)) {
    if (!CanWrite(file_)) return false;
    const int fd = ::open(lock_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    ::close(fd);
    current_ = path;
    return true;
  }
  if (!canCreate) return false;
  int error = 0;
  if (!Modify(
          [&](RegDocument& doc) {
            if (doc.Find(path)) return false;
            doc.Ensure(path);
            return true;
          },
          error))
    return false;
  current_ = path;
  return true;
}

void Registry::CloseKey() { current_.clear(); }

bool Registry::KeyExists(std::string_view key) { return Current().Exists(FullPath(key)); }

const RegValue* Registry::Find(std::string_view name) {
  if (current_.empty()) return nullptr;
  const RegKey* key = Current().Find(current_);
  return key ? key->Find(name) : nullptr;
}

const RegValue& Registry::Get(std::string_view name) {
  const RegValue* value = Find(name);
  if (!value) GetFailed(name);
  return *value;
}

bool Registry::ValueExists(std::string_view name) { return Find(name) != nullptr; }

std::optional<RegDataType> Registry::GetDataType(std::string_view name) {
  const RegValue* value = Find(name);
  if (!value) return std::nullopt;
  switch (value->type) {
    case kRegSz:
      return RegDataType::String;
    case kRegExpandSz:
      return RegDataType::ExpandString;
    case kRegDword:
      return RegDataType::Integer;
    case kRegBinary:
      return RegDataType::Binary;
    default:
      return RegDataType::Unknown;
  }
}

std::string Registry::ReadString(std::string_view name) {
  const RegValue& value = Get(name);
  if (value.type != kRegSz && value.type != kRegExpandSz) WrongType(name);
  return value.text;
}

std::int32_t Registry::ReadInteger(std::string_view name) {
  const RegValue& value = Get(name);
  if (value.DataSize() > 4) GetFailed(name);
  if (value.type != kRegDword) WrongType(name);
  return static_cast<std::int32_t>(value.number);
}

bool Registry::ReadBool(std::string_view name) { return ReadInteger(name) != 0; }

void Registry::Store(RegValue value) {
  if (current_.empty() || !NameStorable(value.name)) SetFailed(value.name);
  const std::string name = value.name;
  int error = 0;
  if (!Modify(
          [&](RegDocument& doc) {
            // A value that holds these data already is left alone: nothing
            // is written, so saving unchanged settings costs no disk flush.
            if (const RegKey* key = doc.Find(current_)) {
              const RegValue* old = key->Find(value.name);
              if (old && old->name == value.name && old->type == value.type &&
                  old->text == value.text && old->number == value.number &&
                  old->bytes == value.bytes)
                return false;
            }
            doc.Ensure(current_).Set(std::move(value));
            return true;
          },
          error))
    SetFailed(name);
}

void Registry::WriteString(std::string_view name, std::string_view value) {
  Store(RegValue{std::string(name), kRegSz, std::string(value), 0, {}});
}

void Registry::WriteExpandString(std::string_view name, std::string_view value) {
  Store(RegValue{std::string(name), kRegExpandSz, std::string(value), 0, {}});
}

void Registry::WriteInteger(std::string_view name, std::int32_t value) {
  Store(RegValue{std::string(name), kRegDword, {}, static_cast<std::uint32_t>(value), {}});
}

void Registry::WriteBool(std::string_view name, bool value) { WriteInteger(name, value ? 1 : 0); }

bool Registry::DeleteValue(std::string_view name) {
  if (current_.empty()) return false;
  bool existed = false;
  int error = 0;
  const bool stored = Modify(
      [&](RegDocument& doc) {
        RegKey* key = doc.Find(current_);
        existed = key && key->Erase(name);
        return existed;
      },
      error);
  return stored && existed;
}

}  // namespace ff
