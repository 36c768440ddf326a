#include <unordered_map>

#include "import/import_list.h"
#include "import/naming_template.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace ff {
namespace {

// The name part of a path without its last extension, and the extension
// with its dot.
struct SplitName {
  std::string_view base;       // path up to the extension
  std::string_view extension;  // from the last "." of the name part on
};

SplitName SplitExtension(std::string_view path) {
  const std::string_view name = FileNamePart(path);
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return {path, {}};
  const size_t at = path.size() - name.size() + dot;
  return {path.substr(0, at), path.substr(at)};
}

}  // namespace

void ApplyCounters(ImportList& list) {
  std::unordered_map<std::string, long long> folderCounters;  // folded folder -> last number
  std::unordered_map<std::string, std::string> baseNames;     // folded source base -> name
  folderCounters.reserve(64);
  baseNames.reserve(list.size());

  // Neighbouring entries mostly share their folder: remember the last one.
  std::string lastFolder;
  long long* lastCounter = nullptr;
  for (ImportEntry& entry : list) {
    std::string& target = entry.target;
    const std::string_view folder =
        std::string_view(target).substr(0, target.size() - FileNamePart(target).size());
    if (!lastCounter || folder != lastFolder) {
      lastCounter = &folderCounters[FoldCase(folder)];
      lastFolder = folder;
    }
    const long long n = ++*lastCounter;

    std::string key = FoldCase(SplitExtension(entry.source).base);
    const auto sibling = baseNames.find(key);
    if (sibling != baseNames.end()) {
      target = lastFolder + sibling->second + ExtensionText(SplitExtension(entry.source).extension);
      continue;
    }
    if (target.find(kCounterToken) != std::string::npos)
      target = ReplaceToken(target, kCounterToken, CounterText(n));
    const std::string_view name = FileNamePart(target);
    const size_t dot = name.rfind('.');
    baseNames.emplace(std::move(key),
                      std::string(dot == std::string_view::npos ? name : name.substr(0, dot)));
  }
}

}  // namespace ff
