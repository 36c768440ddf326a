#include "import/import_list.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "import/delimited_text.h"
#include "import/expander.h"
#include "import/naming_template.h"
#include "import/wildcard.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace ff {
namespace {

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

class Scanner {
 public:
  Scanner(const ImportRequest& request, const std::vector<Wildcard>& patterns,
          const TemplateExpander& expander, const Environment& env, ImportList& list,
          std::vector<std::string>* problems)
      : request_(request),
        patterns_(patterns),
        expander_(expander),
        env_(env),
        folderTemplate_(request.folderTemplate),
        fileTemplate_(request.fileTemplate),
        list_(list),
        problems_(problems) {}

  // Appends the matching files of folder (and, when recursing, of its
  // subfolders, each searched where it is listed) to the list. Answers the
  // errno value when folder itself cannot be read.
  int ScanFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    DirHandle dir(fdopendir(fd));
    if (!dir) {
      const int error = errno;
      ::close(fd);
      return error;
    }
    errno = 0;
    while (const dirent* entry = readdir(dir.get())) {
      VisitEntry(folder, fd, entry->d_name, entry->d_type);
      errno = 0;
    }
    if (errno != 0) Problem("Cannot read the whole folder '" + folder + "'", errno);
    return 0;
  }

 private:
  void VisitEntry(const std::string& folder, int dirFd, const char* name, unsigned char type) {
    if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) return;
    if (type == DT_DIR) {
      EnterFolder(folder, name);
      return;
    }
    if (type != DT_REG && type != DT_LNK && type != DT_UNKNOWN) return;  // devices, pipes
    FileStatus status;
    bool looked = false;
    if (type == DT_UNKNOWN) {
      if (!Look(folder, dirFd, name, status)) return;
      looked = true;
      if (status.isDirectory) {
        EnterFolder(folder, name);
        return;
      }
    }
    if (!MatchesAny(name)) return;
    if (!looked && !Look(folder, dirFd, name, status)) return;
    if (!status.isRegular) return;  // only files become entries, never folders

    const std::string source = JoinPath(folder, name);
    const TFileInfo info(source, status.creation, env_);
    std::string target = JoinPath(expander_.ExpandFolder(folderTemplate_, info),
                                  expander_.ExpandFile(fileTemplate_, info));
    CheckTarget(source, target);
    list_.push_back({source, std::move(target), status.creation, InstantToDateTime(status.creation),
                     status.size});
  }

  void EnterFolder(const std::string& folder, const char* name) {
    if (!request_.recurse || name[0] == '.') return;
    const std::string sub = JoinPath(folder, name);
    if (const int error = ScanFolder(sub)) Problem("Cannot read the folder '" + sub + "'", error);
  }

  bool Look(const std::string& folder, int dirFd, const char* name, FileStatus& status) {
    int error = 0;
    if (StatAt(dirFd, name, status, error)) return true;
    if (error != ENOENT)  // a file that vanished meanwhile is simply not there
      Problem("Cannot read '" + JoinPath(folder, name) + "'", error);
    return false;
  }

  bool MatchesAny(std::string_view name) {
    const std::u32string_view folded = FoldName(name, nameBuffer_);
    return std::any_of(patterns_.begin(), patterns_.end(),
                       [&](const Wildcard& w) { return w.MatchesFolded(folded); });
  }

  static void CheckTarget(const std::string& source, const std::string& target) {
    if (HasParentLevel(target))
      throw Error("The target path '" + target + "' for '" + source +
                  "' has a '..' folder level; a template may not lead out of its folder");
    const std::string_view name = FileNamePart(target);
    if (name.empty() || name == "." || name == "..")
      throw Error("The target path '" + target + "' for '" + source + "' has no file name");
  }

  void Problem(const std::string& what, int error) {
    if (problems_) problems_->push_back(what + ": " + ErrnoText(error));
  }

  const ImportRequest& request_;
  const std::vector<Wildcard>& patterns_;
  const TemplateExpander& expander_;
  const Environment& env_;
  const CompiledTemplate folderTemplate_;
  const CompiledTemplate fileTemplate_;
  ImportList& list_;
  std::vector<std::string>* problems_;
  std::u32string nameBuffer_;
};

void AppendListText(const ImportList& list, std::string& text) {
  size_t size = text.size();
  for (const ImportEntry& e : list) size += e.source.size() + e.target.size() + 3;
  text.reserve(size);
  for (const ImportEntry& e : list) {
    text += e.source;
    text += '=';
    text += e.target;
    text += "\r\n";
  }
}

std::int64_t MillisecondKey(Instant t) { return t.seconds * 1000 + t.nanoseconds / 1'000'000; }

// Logs one stage of the list; buffer is reused from stage to stage.
void LogSnapshot(TLogHandler& log, const char* heading, const ImportList& list,
                 std::string& buffer) {
  buffer.assign(heading);
  buffer += "\r\n";
  AppendListText(list, buffer);
  log.WriteLog(buffer, true);
}

}  // namespace

ImportList BuildImportList(const ImportRequest& request, const Environment& env, const Clock& clock,
                           TLogHandler& log, std::vector<std::string>* problems) {
  if (request.sourceFolder.empty()) throw Error("No source folder is chosen");
  if (request.importRoot.empty()) throw Error("No folder to import into is chosen");
  const std::vector<Wildcard> patterns = CompileWildcards(ReadDelimitedText(request.searchPattern));
  const TemplateExpander expander(env, clock, request.importRoot, request.multiTargetMap);

  ImportList list;
  Scanner scanner(request, patterns, expander, env, list, problems);
  if (const int error = scanner.ScanFolder(request.sourceFolder))
    throw Error("Cannot read the source folder '" + request.sourceFolder +
                "': " + ErrnoText(error));

  std::string buffer;
  LogSnapshot(log, "Values of ImportList before sorting", list, buffer);
  // Oldest source first, to the millisecond; files created within the same
  // millisecond keep the order in which the scan found them.
  std::stable_sort(list.begin(), list.end(), [](const ImportEntry& a, const ImportEntry& b) {
    return MillisecondKey(a.creation) < MillisecondKey(b.creation);
  });
  LogSnapshot(log, "Values of ImportList after sorting", list, buffer);
  ApplyCounters(list);
  LogSnapshot(log, "Values of ImportList after counting", list, buffer);
  return list;
}

void CompleteMultiTargetMap(std::vector<std::string>& map, const std::string& searchPattern,
                            const std::string& root) {
  for (const std::string& wildcard : ReadDelimitedText(searchPattern)) {
    if (wildcard.empty()) continue;
    const bool named = std::any_of(map.begin(), map.end(), [&](const std::string& line) {
      return EqualsIgnoreCase(std::string_view(line).substr(0, line.find('=')), wildcard);
    });
    if (!named) map.push_back(wildcard + "=" + root);
  }
  for (std::string& line : map) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos)
      line += "=" + root;
    else if (eq + 1 == line.size())
      line += root;
  }
}

}  // namespace ff
