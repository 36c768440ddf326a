// Naming templates: the folder string and the file string. A template is an
// ordered list of items whose texts, run together, give a folder path or a
// file name; "\" in that text is a folder break.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "import/file_info.h"
#include "platform/clock.h"
#include "platform/environment.h"

namespace ff {

// List text (each item followed by CR LF) to stored form (items joined by
// ";", none after the last): CR becomes ";", LF goes, trailing ";" go.
std::string TemplateToStored(std::string_view listText);
// Stored form to list text: every ";" becomes CR LF.
std::string StoredToTemplate(std::string_view stored);
// Removes every ";".
std::string RemoveSeparators(std::string_view text);

// Items of a list text and back (each item followed by CR LF).
std::vector<std::string> TemplateItems(std::string_view listText);
std::string ItemsToTemplate(const std::vector<std::string>& items);

// The 24 variable names of the editor's list, in its order.
inline constexpr std::array<std::string_view, 24> kVariableNames = {
    "System.Domainname",   "System.Computername",   "System.Username",
    "System.Date",         "System.Time",           "System.DateTime",
    "System.Year",         "System.Month",          "System.Day",
    "System.Hour",         "System.Minute",         "System.Second",
    "File.Filename",       "File.FileExtension",    "File.CreationDate",
    "File.CreationTime",   "File.CreationDateTime", "File.CreationYear",
    "File.CreationMonth",  "File.CreationDay",      "File.CreationHour",
    "File.CreationMinute", "File.CreationSecond",   "Incremental.Counter"};

inline constexpr std::string_view kSpaceToken = "{Spc}";
inline constexpr std::string_view kCounterToken = "{Incremental.Counter}";

// A template prepared for expanding many files: its text split into the
// template's own text and the tokens it uses. A token counts when the text
// holds it written exactly so; then every occurrence in any letter case is
// replaced. Values are inserted once and never read again as template text.
class CompiledTemplate {
 public:
  explicit CompiledTemplate(std::string_view listText);

  // The common expansion for one file: tokens replaced by their values, ":"
  // turned into "." and "/" into "-" everywhere, and a "\" inside a value
  // into "-", so that only the template's own "\" breaks folders. The
  // counter token and unknown tokens stay. Each clock token reads the clock
  // once.
  std::string Expand(const TFileInfo& file, const Environment& env, const Clock& clock) const;

 private:
  struct Segment {
    int token;  // -1: literal text
    std::string text;
  };
  std::vector<Segment> segments_;
};

// A file's own extension as it goes into a target name: a "\" in it turns
// into "-", since only a template's own "\" breaks folders.
std::string ExtensionText(std::string_view extension);

// The counter form: "-" and the number, zero-padded to at least 4 digits.
std::string CounterText(long long number);

}  // namespace ff
