#include "shell/file_operation.h"

#include <glob.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <unordered_map>

#include "platform/error.h"
#include "platform/paths.h"
#include "shell/file_op_engine.h"

namespace ff {
namespace {

unsigned FunctionCode(TStFileOp op) {
  switch (op) {
    case TStFileOp::fopCopy:
      return kFoCopy;
    case TStFileOp::fopDelete:
      return kFoDelete;
    case TStFileOp::fopMove:
      return kFoMove;
    case TStFileOp::fopRename:
      return kFoRename;
  }
  return kFoCopy;
}

bool HasWildcard(std::string_view path) { return path.find_first_of("*?") != path.npos; }

std::string_view WithoutTrailingSlashes(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  return path;
}

bool SourceExists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

// The paths a plain-mode wildcard source matches, sorted; with filesOnly no
// folders. The source itself when it matches nothing, so that it is reported.
std::vector<std::string> Expand(const std::string& source, bool filesOnly) {
  if (!HasWildcard(source)) return {source};
  std::vector<std::string> paths;
  glob_t found{};
  if (glob(source.c_str(), GLOB_MARK, nullptr, &found) == 0) {
    for (size_t i = 0; i < found.gl_pathc; ++i) {
      std::string path = found.gl_pathv[i];
      const bool folder = !path.empty() && path.back() == '/';
      if (folder && filesOnly) continue;
      if (folder) path = std::string(WithoutTrailingSlashes(path));
      paths.push_back(std::move(path));
    }
  }
  globfree(&found);
  if (paths.empty()) paths.push_back(source);
  return paths;
}

}  // namespace

std::string PathListBuffer(const std::vector<std::string>& paths) {
  std::string buffer;
  for (const std::string& path : paths) {
    buffer += path;
    buffer += '\0';
  }
  buffer += '\0';
  return buffer;
}

void TStCustomFileOperation::SetDestination(std::string_view value) {
  destination_ = std::string(WithoutTrailingSlashes(value));
}

FileOpRequest TStCustomFileOperation::BuildRequest() {
  FileOpRequest request;
  request.function = FunctionCode(operation_);
  request.flags = options_.Flags();
  if (!pairs_.empty()) {
    if (request.function == kFoDelete)
      throw ESsFileOpError("Cannot use file mappings in a delete operation");
    request.mapped = true;
    for (const auto& [source, target] : pairs_) {
      request.sources.push_back(source);
      request.targets.push_back(target);
    }
    if (request.sources.size() > 1) request.flags |= kFofMultiDestFiles;
    return request;
  }
  if (sourceFiles_.empty()) throw ESsFileOpError("No source files specified");

  request.mapped = std::any_of(sourceFiles_.begin(), sourceFiles_.end(), [](const auto& line) {
    return line.find('=') != std::string::npos;
  });

  if (request.mapped) {
    if (request.function == kFoDelete)
      throw ESsFileOpError("Cannot use file mappings in a delete operation");
    // A line without a target of its own goes to Destination, which must
    // then name a folder; an empty one would send it to the root folder.
    const bool needsDestination = std::any_of(
        sourceFiles_.begin(), sourceFiles_.end(),
        [](const auto& line) { return !line.empty() && line.find('=') == std::string::npos; });
    if (needsDestination && destination_.empty())
      throw ESsFileOpError("No destination files specified");

    // A source named twice goes to the target of its first line. Paths are
    // compared exactly: on this system a.jpg and A.JPG are two files.
    std::unordered_map<std::string, std::string> firstTarget;
    for (std::string& line : sourceFiles_) {
      if (line.empty()) continue;
      if (line.find('=') == std::string::npos)
        line += "=" + JoinPath(destination_, FileNamePart(line));
      const size_t equals = line.find('=');
      std::string source = line.substr(0, equals);
      const std::string& target =
          firstTarget.try_emplace(source, line.substr(equals + 1)).first->second;
      request.targets.push_back(target);
      request.sources.push_back(std::move(source));
    }
    if (request.sources.size() > 1) request.flags |= kFofMultiDestFiles;
    return request;
  }

  for (const std::string& line : sourceFiles_)
    if (!line.empty()) request.sources.push_back(line);
  if (request.sources.empty()) throw ESsFileOpError("No source files specified");
  if (confirmFiles_) {
    for (const std::string& source : request.sources)
      if (!HasWildcard(source) && !SourceExists(source))
        throw ESsFileOpError("Source file error, file not found");
  }
  if (request.function != kFoDelete) {
    if (destination_.empty()) throw ESsFileOpError("No destination files specified");
    request.targets.push_back(destination_);
  }
  return request;
}

bool TStCustomFileOperation::Execute() {
  const FileOpRequest request = BuildRequest();

  std::vector<FileOpJob> jobs;
  if (request.mapped) {
    for (size_t i = 0; i < request.sources.size(); ++i)
      jobs.push_back({request.sources[i], request.targets[i]});
  } else {
    const bool filesOnly = options_.Contains(TStFileOpOption::foFilesOnly);
    for (const std::string& line : request.sources)
      for (std::string& source : Expand(line, filesOnly)) jobs.push_back({std::move(source), {}});
    if (operation_ != TStFileOp::fopDelete) {
      // A single source renamed takes Destination as its new path; all
      // others go into the Destination folder under their own names.
      const bool newName = operation_ == TStFileOp::fopRename && jobs.size() == 1;
      for (FileOpJob& job : jobs)
        job.target = newName
                         ? destination_
                         : JoinPath(destination_, FileNamePart(WithoutTrailingSlashes(job.source)));
    }
  }

  FileOpEngine engine(progress_, options_.Contains(TStFileOpOption::foRenameCollision));
  results_ = engine.Run(operation_, options_.Contains(TStFileOpOption::foAllowUndo), jobs);
  aborted_ = engine.Cancelled();

  int code = 0;
  std::string text;
  if (aborted_) {
    code = kErrorCancelled;
    text = ErrnoText(ECANCELED);
  } else {
    for (const FileOpResult& result : results_) {
      if (result.error == 0) continue;
      code = result.error;
      text = result.errorText;
      break;
    }
  }
  SetError(code, std::move(text));
  NotifyError();
  return code == 0;
}

}  // namespace ff
