#include "platform/reg_file.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <utility>

#include "platform/text.h"

namespace ff {
namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
constexpr std::size_t kHexLineWidth = 80;

std::string_view Trim(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

bool StartsWithIgnoreCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && FindIgnoreAsciiCase(s.substr(0, prefix.size()), prefix) == 0;
}

// Only blanks or a ";" comment may follow a complete value.
bool OnlyCommentLeft(std::string_view rest) {
  rest = Trim(rest);
  return rest.empty() || rest.front() == ';';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::uint32_t> ParseHexNumber(std::string_view s, std::size_t maxDigits) {
  if (s.empty() || s.size() > maxDigits) return std::nullopt;
  std::uint32_t n = 0;
  for (char c : s) {
    const int d = HexDigit(c);
    if (d < 0) return std::nullopt;
    n = n * 16 + static_cast<std::uint32_t>(d);
  }
  return n;
}

// A quoted text starting at s[0] == '"', with \\ and \" escapes; pos ends
// after the closing quote.
std::optional<std::string> ParseQuoted(std::string_view s, std::size_t& pos) {
  std::string out;
  for (pos = 1; pos < s.size(); ++pos) {
    const char c = s[pos];
    if (c == '"') {
      ++pos;
      return out;
    }
    if (c == '\\' && pos + 1 < s.size() && (s[pos + 1] == '\\' || s[pos + 1] == '"')) {
      out += s[++pos];
    } else {
      out += c;  // a lone backslash stands for itself
    }
  }
  return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> ParseHexList(std::string_view list) {
  std::vector<std::uint8_t> bytes;
  list = Trim(list);
  if (list.empty()) return bytes;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t comma = list.find(',', start);
    if (comma == std::string_view::npos) comma = list.size();
    const std::string_view item = Trim(list.substr(start, comma - start));
    if (item.empty() && comma == list.size() && start > 0) break;  // a trailing comma
    const auto byte = ParseHexNumber(item, 2);
    if (!byte) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(*byte));
    start = comma + 1;
  }
  return bytes;
}

RegValue ValueFromHex(std::uint32_t type, std::vector<std::uint8_t> bytes) {
  RegValue value;
  value.type = type;
  if (type == kRegSz || type == kRegExpandSz) {
    std::size_t units = bytes.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
      if (bytes[2 * i] == 0 && bytes[2 * i + 1] == 0) {  // the text ends at its NUL
        units = i;
        break;
      }
    }
    value.text = Utf16LeToUtf8(bytes.data(), units * 2);
  } else if (type == kRegDword && bytes.size() == 4) {
    value.number =
        static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
        static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
  } else {
    if (type == kRegDword) value.type = kRegBinary;  // a DWORD of another size cannot be one
    value.bytes = std::move(bytes);
  }
  return value;
}

std::string Lines(std::size_t line, const std::string& what) {
  return "line " + std::to_string(line) + ": " + what;
}

bool LineSafe(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const char32_t c = DecodeUtf8(text, pos);
    if (c < 0x20 || c == 0x7F || (c >= 0xDC80 && c <= 0xDCFF)) return false;
  }
  return true;
}

std::string Quote(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
  return out;
}

std::string HexLines(std::string head, const std::vector<std::uint8_t>& bytes) {
  // regedit's layout: bytes "xx," until the line would pass 80 columns,
  // then "\" and a continuation line indented by two blanks.
  std::string out = std::move(head);
  std::size_t column = out.size();
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    char item[4];
    std::snprintf(item, sizeof item, "%02x", bytes[i]);
    const bool last = i + 1 == bytes.size();
    if (column + (last ? 2 : 3) > kHexLineWidth - 2) {
      out += "\\\n  ";
      column = 2;
    }
    out += item;
    column += 2;
    if (!last) {
      out += ',';
      ++column;
    }
  }
  return out;
}

std::vector<std::uint8_t> TerminatedUtf16(std::string_view text) {
  std::vector<std::uint8_t> bytes = Utf8ToUtf16Le(text);
  bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

std::string FormatValue(const RegValue& v) {
  std::string line = v.name.empty() ? "@" : Quote(v.name);
  line += '=';
  switch (v.type) {
    case kRegSz:
      if (LineSafe(v.text)) return line + Quote(v.text);
      return HexLines(line + "hex(1):", TerminatedUtf16(v.text));
    case kRegExpandSz:
      return HexLines(line + "hex(2):", TerminatedUtf16(v.text));
    case kRegDword: {
      char number[16];
      std::snprintf(number, sizeof number, "dword:%08x", v.number);
      return line + number;
    }
    case kRegBinary:
      return HexLines(line + "hex:", v.bytes);
    default: {
      char head[24];
      std::snprintf(head, sizeof head, "hex(%x):", v.type);
      return HexLines(line + head, v.bytes);
    }
  }
}

std::string NormalKeyPath(std::string_view path) {
  path = Trim(path);
  while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  return std::string(path);
}

}  // namespace

std::size_t RegValue::DataSize() const {
  switch (type) {
    case kRegSz:
    case kRegExpandSz:
      return Utf8ToUtf16Le(text).size() + 2;
    case kRegDword:
      return 4;
    default:
      return bytes.size();
  }
}

const RegValue* RegKey::Find(std::string_view name) const {
  for (const RegValue& v : values)
    if (EqualsIgnoreCase(v.name, name)) return &v;
  return nullptr;
}

RegValue* RegKey::Find(std::string_view name) {
  return const_cast<RegValue*>(std::as_const(*this).Find(name));
}

void RegKey::Set(RegValue value) {
  if (RegValue* existing = Find(value.name)) {
    value.name = existing->name;  // the value keeps the spelling it was created with
    *existing = std::move(value);
  } else {
    values.push_back(std::move(value));
  }
}

bool RegKey::Erase(std::string_view name) {
  const auto it = std::find_if(values.begin(), values.end(),
                               [&](const RegValue& v) { return EqualsIgnoreCase(v.name, name); });
  if (it == values.end()) return false;
  values.erase(it);
  return true;
}

const RegKey* RegDocument::Find(std::string_view path) const {
  for (const RegKey& key : keys_)
    if (EqualsIgnoreCase(key.path, path)) return &key;
  return nullptr;
}

RegKey* RegDocument::Find(std::string_view path) {
  return const_cast<RegKey*>(std::as_const(*this).Find(path));
}

bool RegDocument::Exists(std::string_view path) const {
  const std::string folded = FoldCase(path) + "\\";
  for (const RegKey& key : keys_) {
    const std::string k = FoldCase(key.path) + "\\";
    if (k.compare(0, folded.size(), folded) == 0) return true;
  }
  return false;
}

RegKey& RegDocument::Ensure(std::string_view path) {
  if (RegKey* key = Find(path)) return *key;
  keys_.push_back(RegKey{std::string(path), {}});
  return keys_.back();
}

void RegDocument::EraseTree(std::string_view path) {
  const std::string folded = FoldCase(path) + "\\";
  std::erase_if(keys_, [&](const RegKey& key) {
    return (FoldCase(key.path) + "\\").compare(0, folded.size(), folded) == 0;
  });
}

std::vector<std::uint8_t> Utf8ToUtf16Le(std::string_view text) {
  std::vector<std::uint8_t> out;
  out.reserve(text.size() * 2);
  const auto unit = [&](char32_t u) {
    out.push_back(static_cast<std::uint8_t>(u & 0xFF));
    out.push_back(static_cast<std::uint8_t>(u >> 8));
  };
  for (std::size_t pos = 0; pos < text.size();) {
    const char32_t c = DecodeUtf8(text, pos);
    if (c >= 0x10000) {
      unit(0xD800 + ((c - 0x10000) >> 10));
      unit(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      unit(c);
    }
  }
  return out;
}

std::string Utf16LeToUtf8(const std::uint8_t* data, std::size_t size) {
  std::string out;
  const std::size_t units = size / 2;
  const auto at = [&](std::size_t i) {
    return static_cast<char32_t>(data[2 * i] | (data[2 * i + 1] << 8));
  };
  for (std::size_t i = 0; i < units; ++i) {
    char32_t c = at(i);
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units && at(i + 1) >= 0xDC00 && at(i + 1) <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (at(i + 1) - 0xDC00);
      ++i;
    }
    EncodeUtf8(c, out);
  }
  return out;
}

bool ParseRegText(std::string_view text, RegDocument& doc, std::string& problem) {
  doc = RegDocument();
  std::string converted;
  if (text.size() >= 2 && static_cast<unsigned char>(text[0]) == 0xFF &&
      static_cast<unsigned char>(text[1]) == 0xFE) {  // as regedit exports it: UTF-16LE
    converted =
        Utf16LeToUtf8(reinterpret_cast<const std::uint8_t*>(text.data()) + 2, text.size() - 2);
    text = converted;
  } else if (text.substr(0, 3) == "\xEF\xBB\xBF") {
    text.remove_prefix(3);
  }

  std::vector<std::string_view> lines;
  for (std::size_t start = 0; start <= text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }

  bool header = false;
  RegKey* key = nullptr;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::size_t number = i + 1;
    const std::string_view line = Trim(lines[i]);
    if (line.empty() || line.front() == ';') continue;
    if (!header) {
      if (line != kHeader) {
        problem = Lines(number, "the header \"" + std::string(kHeader) + "\" is missing");
        return false;
      }
      header = true;
      continue;
    }
    if (line.front() == '[') {
      if (line.back() != ']') {
        problem = Lines(number, "a key line must end in \"]\"");
        return false;
      }
      std::string_view inner = line.substr(1, line.size() - 2);
      const bool erase = !inner.empty() && inner.front() == '-';
      if (erase) inner.remove_prefix(1);
      const std::string path = NormalKeyPath(inner);
      if (!StartsWithIgnoreCase(path, "HKEY_")) {
        problem = Lines(number, "a key must begin with the name of its hive");
        return false;
      }
      if (erase) {
        doc.EraseTree(path);
        key = nullptr;
      } else {
        key = &doc.Ensure(path);
      }
      continue;
    }

    // A value line: "name"=data or @=data.
    std::string name;
    std::size_t pos = 0;
    if (line.front() == '@') {
      pos = 1;
    } else if (line.front() == '"') {
      const auto quoted = ParseQuoted(line, pos);
      if (!quoted) {
        problem = Lines(number, "the value name has no closing quote");
        return false;
      }
      name = *quoted;
    } else {
      problem = Lines(number, "neither a key, a value nor a comment");
      return false;
    }
    std::string_view rest = Trim(line.substr(pos));
    if (rest.empty() || rest.front() != '=') {
      problem = Lines(number, "\"=\" expected after the value name");
      return false;
    }
    rest = Trim(rest.substr(1));
    if (!key) {
      if (rest == "-") continue;  // deleting from a deleted key
      problem = Lines(number, "a value before the first key");
      return false;
    }

    if (rest == "-") {
      key->Erase(name);
    } else if (!rest.empty() && rest.front() == '"') {
      std::size_t end = 0;
      const auto data = ParseQuoted(rest, end);
      if (!data || !OnlyCommentLeft(rest.substr(end))) {
        problem = Lines(number, "a string value must be one quoted text");
        return false;
      }
      key->Set(RegValue{name, kRegSz, *data, 0, {}});
    } else if (StartsWithIgnoreCase(rest, "dword:")) {
      std::string_view digits = rest.substr(6);
      const std::size_t comment = digits.find(';');
      const auto n = ParseHexNumber(Trim(digits.substr(0, comment)), 8);
      if (!n) {
        problem = Lines(number, "a dword needs one to eight hexadecimal digits");
        return false;
      }
      key->Set(RegValue{name, kRegDword, {}, *n, {}});
    } else if (StartsWithIgnoreCase(rest, "hex")) {
      std::uint32_t type = kRegBinary;
      std::string_view typeText = rest.substr(3);
      if (!typeText.empty() && typeText.front() == '(') {
        const std::size_t close = typeText.find(')');
        const auto t = close == std::string_view::npos
                           ? std::nullopt
                           : ParseHexNumber(typeText.substr(1, close - 1), 8);
        if (!t) {
          problem = Lines(number, "hex(N) needs a hexadecimal type number");
          return false;
        }
        type = *t;
        typeText = typeText.substr(close + 1);
      }
      if (typeText.empty() || typeText.front() != ':') {
        problem = Lines(number, "\":\" expected after hex");
        return false;
      }
      std::string list(Trim(typeText.substr(1)));
      while (!list.empty() && list.back() == '\\') {  // continued on the next line
        list.pop_back();
        if (++i >= lines.size()) break;
        list += Trim(lines[i]);
      }
      auto bytes = ParseHexList(list);
      if (!bytes) {
        problem = Lines(number, "a hex list must be bytes of two hexadecimal digits");
        return false;
      }
      RegValue value = ValueFromHex(type, std::move(*bytes));
      value.name = name;
      key->Set(std::move(value));
    } else {
      problem = Lines(number, "unknown kind of value");
      return false;
    }
  }
  return true;
}

std::string FormatRegText(const RegDocument& doc) {
  std::string out(kHeader);
  out += "\n\n";
  for (const RegKey& key : doc.keys()) {
    out += "[" + key.path + "]\n";
    for (const RegValue& value : key.values) out += FormatValue(value) + "\n";
    out += "\n";
  }
  return out;
}

}  // namespace ff
