// Turns a template and a source file into a target folder or file name,
// with the import root and the multi-target map applied.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "import/file_info.h"
#include "import/naming_template.h"
#include "import/wildcard.h"
#include "platform/clock.h"
#include "platform/environment.h"

namespace ff {

class TemplateExpander {
 public:
  // multiTargetMap holds lines wildcard=folder. Throws the invalid-mask
  // error for a map line with an invalid wildcard. env and clock must
  // outlive the expander.
  TemplateExpander(const Environment& env, const Clock& clock, std::string importRoot,
                   const std::vector<std::string>& multiTargetMap);

  // The target file name: the expansion, "." and the source's extension.
  std::string ExpandFileTemplate(std::string_view listText, const std::string& source) const;
  // The full target folder: the expansion below the folder of the first map
  // line whose wildcard matches the file's name, or below the import root
  // when that folder is not a full path. Native separators; ends in "/"
  // only when the folder string ends in a folder break.
  std::string ExpandFolderTemplate(std::string_view listText, const std::string& source) const;

  // The same for a prepared template and a file already looked up.
  std::string ExpandFile(const CompiledTemplate& fileTemplate, const TFileInfo& file) const;
  std::string ExpandFolder(const CompiledTemplate& folderTemplate, const TFileInfo& file) const;

  const Environment& Env() const { return env_; }
  const std::string& ImportRoot() const { return importRoot_; }

 private:
  const Environment& env_;
  const Clock& clock_;
  std::string importRoot_;
  std::string rootPrefix_;  // the root with a trailing "/"
  std::vector<std::pair<Wildcard, std::string>> map_;
};

// The two sample names shown under the editor, for the sample file (see
// SampleFile): the folder sample with "exe" turned into "raw"; the file
// sample with the counter shown as -0001, "Fotoferry" as "Capture" and
// ".exe" as ".raw".
struct SampleNames {
  std::string folder;
  std::string file;
};
SampleNames MakeSampleNames(const TemplateExpander& expander, std::string_view folderListText,
                            std::string_view fileListText, const TFileInfo& sample);

// The sample file: the program's own executable, under the name the program
// carries on every desktop ("Fotoferry.exe" beside the executable), with the
// executable's creation time. Throws like TFileInfo when it cannot be read.
TFileInfo SampleFile(const Environment& env);

}  // namespace ff
