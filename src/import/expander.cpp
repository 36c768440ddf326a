#include "import/expander.h"

#include <algorithm>

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace ff {
namespace {

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

TemplateExpander::TemplateExpander(const Environment& env, const Clock& clock,
                                   std::string importRoot,
                                   const std::vector<std::string>& multiTargetMap)
    : env_(env),
      clock_(clock),
      importRoot_(std::move(importRoot)),
      rootPrefix_(WithSlash(importRoot_)) {
  for (const std::string& line : multiTargetMap) {
    const size_t eq = line.find('=');
    const std::string mask = line.substr(0, eq);
    const std::string folder = eq == std::string::npos ? std::string() : line.substr(eq + 1);
    map_.emplace_back(Wildcard(mask), folder);
  }
  // Lines at the end that send their files to the root change nothing: a
  // file no earlier line matches goes to the root anyway.
  while (!map_.empty() && (map_.back().second.empty() || map_.back().second == importRoot_ ||
                           map_.back().second == WithSlash(importRoot_)))
    map_.pop_back();
}

std::string TemplateExpander::ExpandFile(const CompiledTemplate& fileTemplate,
                                         const TFileInfo& file) const {
  std::string name = fileTemplate.Expand(file, env_, clock_);
  std::replace(name.begin(), name.end(), '\\', '/');
  name += '.';
  name += ExtensionText(file.FileExtension());
  return name;
}

std::string TemplateExpander::ExpandFolder(const CompiledTemplate& folderTemplate,
                                           const TFileInfo& file) const {
  // The expansion holds no "/" of its own, so only a map folder can make
  // the result a full path.
  std::string relative = folderTemplate.Expand(file, env_, clock_);
  std::replace(relative.begin(), relative.end(), '\\', '/');
  std::string prefix;
  std::u32string buffer;
  const std::u32string_view name =
      map_.empty() ? std::u32string_view() : FoldName(FileNamePart(file.Path()), buffer);
  for (const auto& [wildcard, folder] : map_) {
    // The first matching line decides; a line without a folder adds none.
    if (!wildcard.MatchesFolded(name)) continue;
    if (!folder.empty()) prefix = WithSlash(folder);
    break;
  }
  if (!IsFullPath(prefix)) prefix.insert(0, rootPrefix_);
  const size_t start = relative.find_first_not_of('/');
  return prefix + (start == std::string::npos ? std::string() : relative.substr(start));
}

std::string TemplateExpander::ExpandFileTemplate(std::string_view listText,
                                                 const std::string& source) const {
  return ExpandFile(CompiledTemplate(listText), TFileInfo(source, env_));
}

std::string TemplateExpander::ExpandFolderTemplate(std::string_view listText,
                                                   const std::string& source) const {
  return ExpandFolder(CompiledTemplate(listText), TFileInfo(source, env_));
}

SampleNames MakeSampleNames(const TemplateExpander& expander, std::string_view folderListText,
                            std::string_view fileListText, const TFileInfo& sample) {
  SampleNames names;
  names.folder =
      ReplaceToken(expander.ExpandFolder(CompiledTemplate(folderListText), sample), "exe", "raw");
  std::string file = expander.ExpandFile(CompiledTemplate(fileListText), sample);
  file = ReplaceToken(file, kCounterToken, CounterText(1));
  file = ReplaceToken(file, "Fotoferry", "Capture");
  names.file = ReplaceToken(file, ".exe", ".raw");
  return names;
}

TFileInfo SampleFile(const Environment& env) {
  const std::string executable = ExecutablePath();
  const TFileInfo real(executable, env);
  const std::string_view name = FileNamePart(executable);
  const std::string folder(executable.substr(0, executable.size() - name.size()));
  return TFileInfo(folder + "Fotoferry.exe", real.Creation(), env);
}

}  // namespace ff
