// The vocabulary of a file operation: what to do, how, the request as the
// shell function takes it, progress with cancel, and the result per file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace ff {

enum class TStFileOp { fopCopy, fopDelete, fopMove, fopRename };

// Each option's value is the request flag it adds.
enum class TStFileOpOption : std::uint32_t {
  foAllowUndo = 0x40,
  foFilesOnly = 0x80,
  foNoConfirmation = 0x10,
  foNoConfirmMkDir = 0x200,
  foNoErrorUI = 0x400,
  foRenameCollision = 0x8,
  foSilent = 0x4,
  foSimpleProgress = 0x100,
};

class TStFileOpOptionsSet {
 public:
  constexpr TStFileOpOptionsSet() = default;
  constexpr TStFileOpOptionsSet(std::initializer_list<TStFileOpOption> options) {
    for (TStFileOpOption option : options) Include(option);
  }
  constexpr bool Contains(TStFileOpOption option) const {
    return (bits_ & static_cast<std::uint32_t>(option)) != 0;
  }
  constexpr void Include(TStFileOpOption option) { bits_ |= static_cast<std::uint32_t>(option); }
  constexpr void Exclude(TStFileOpOption option) { bits_ &= ~static_cast<std::uint32_t>(option); }
  // The request flags of all options in the set.
  constexpr std::uint32_t Flags() const { return bits_; }
  friend constexpr bool operator==(TStFileOpOptionsSet, TStFileOpOptionsSet) = default;

 private:
  std::uint32_t bits_ = 0;
};

// Request function codes.
inline constexpr unsigned kFoMove = 1;
inline constexpr unsigned kFoCopy = 2;
inline constexpr unsigned kFoDelete = 3;
inline constexpr unsigned kFoRename = 4;
// Request flag: the target list holds one full target path per source.
inline constexpr std::uint32_t kFofMultiDestFiles = 0x1;

// One request as it is carried out: the function, the flags, and the source
// and target lists. In mapping mode targets[i] is the full target path of
// sources[i]; otherwise targets holds Destination alone (nothing for a
// delete).
struct FileOpRequest {
  unsigned function = 0;
  std::uint32_t flags = 0;
  bool mapped = false;
  std::vector<std::string> sources;
  std::vector<std::string> targets;
};

// The path list form: every path followed by a NUL character and the whole
// list by one more.
std::string PathListBuffer(const std::vector<std::string>& paths);

struct FileOperationStatus {
  std::size_t filesDone = 0;
  std::size_t filesTotal = 0;
  // bytesTotal counts the regular files among the sources as they were when
  // the operation began.
  std::uint64_t bytesDone = 0;
  std::uint64_t bytesTotal = 0;
  // The source being worked on.
  std::string_view current;
  // True while the sources of a move across volumes are being removed, after
  // their copies were made durable and checked; a cancel is ignored then.
  bool finishing = false;
};

// Progress and cancel of a running operation; a dialog in the window, a bar
// on a terminal, a script in tests.
class FileOperationProgress {
 public:
  virtual ~FileOperationProgress() = default;
  // Called on the thread running Execute at the start of every file and
  // after every few MiB of a large one, so keep it cheap. Answer false to
  // cancel: the file in progress is given up without a trace and the rest
  // is not started.
  virtual bool Report(const FileOperationStatus& status) = 0;
};

// What became of one source of the request.
struct FileOpResult {
  std::string source;
  // The path the request asked for; empty for a delete.
  std::string target;
  // Where the complete file now stands: target, or a free name beside it
  // ("name (2).ext") when target was taken; for a delete to the trash the
  // path in the trash. Empty when the file did not arrive. It can be set
  // while error is not 0: a move whose copy arrived but whose source could
  // not be removed.
  std::string finalPath;
  // 0, an errno value, or kErrorCancelled for a file the operation did not
  // reach or gave up because of a cancel.
  int error = 0;
  std::string errorText;

  bool Succeeded() const { return error == 0; }
  bool Renamed() const { return !finalPath.empty() && finalPath != target; }
};

}  // namespace ff
