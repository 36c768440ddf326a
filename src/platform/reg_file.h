// The text form of one hive of the key store: the Windows ".reg" export
// syntax, UTF-8. Parsing accepts what a person writes by hand (CR LF or LF,
// ";" comments, blank lines, any letter case in key and value names, hex
// lists continued over lines with "\"); formatting writes one readable
// section per key.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ff {

// Registry data type codes, as the .reg syntax names them in hex(N).
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;

struct RegValue {
  std::string name;  // empty for the default value ("@")
  std::uint32_t type = kRegSz;
  std::string text;                 // kRegSz, kRegExpandSz: UTF-8, without terminator
  std::uint32_t number = 0;         // kRegDword
  std::vector<std::uint8_t> bytes;  // every other type, as stored

  // Size of the data as the platform keeps it: strings in UTF-16 with their
  // terminating NUL, a DWORD in four bytes.
  std::size_t DataSize() const;
};

struct RegKey {
  std::string path;  // full path, beginning with the hive's name
  std::vector<RegValue> values;

  // Value names compare without regard to letter case.
  const RegValue* Find(std::string_view name) const;
  RegValue* Find(std::string_view name);
  void Set(RegValue value);
  bool Erase(std::string_view name);
};

// The keys of one file in file order. Key paths compare without regard to
// letter case; keys of any hive are kept as they were read.
class RegDocument {
 public:
  const RegKey* Find(std::string_view path) const;
  RegKey* Find(std::string_view path);
  // True when path was written as a key or is the parent of one.
  bool Exists(std::string_view path) const;
  // The key of path, added at the end when missing.
  RegKey& Ensure(std::string_view path);
  // Removes path and every key below it.
  void EraseTree(std::string_view path);

  const std::vector<RegKey>& keys() const { return keys_; }

 private:
  std::vector<RegKey> keys_;
};

// Parses text into doc. Answers false with a description that names the
// line ("line 7: ...") when the text is not in the .reg syntax. A text of
// only blanks is an empty document.
bool ParseRegText(std::string_view text, RegDocument& doc, std::string& problem);

// The document in the .reg syntax, LF line ends. Strings that could not
// stand on one line (line breaks, control characters, bytes that are not
// UTF-8) are written as hex(1) so that they read back exactly.
std::string FormatRegText(const RegDocument& doc);

// Conversions between UTF-8 and UTF-16LE (no terminator). Bytes that are not
// UTF-8 travel as lone surrogates 0xDC80-0xDCFF and come back unchanged.
std::vector<std::uint8_t> Utf8ToUtf16Le(std::string_view text);
std::string Utf16LeToUtf8(const std::uint8_t* data, std::size_t size);

}  // namespace ff
