// Copying file data between open files and publishing a finished file under
// its name without ever replacing what already stands there.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace ff {

// Called after every chunk with the bytes of that chunk; answering false
// stops the copy with ECANCELED.
using CopyChunkCallback = std::function<bool(std::uint64_t bytes)>;

// Copies up to size bytes from the current offset of one descriptor to the
// current offset of another, fewer when the input ends first. Uses copy_file_range (the
// file system may share the blocks instead of copying them) and falls back
// to read/write through a large buffer where the kernel refuses it. Not
// thread-safe; one copier per thread.
class FileDataCopier {
 public:
  // Bytes per copy_file_range call or buffer round, and so the distance
  // between two callbacks.
  static constexpr std::uint64_t kChunk = 4u << 20;

  // Answers 0 or an errno value; copied receives the bytes written.
  int Copy(int in, int out, std::uint64_t size, std::uint64_t& copied,
           const CopyChunkCallback& onChunk);

 private:
  int CopyByBuffer(int in, int out, std::uint64_t size, std::uint64_t& copied,
                   const CopyChunkCallback& onChunk);

  std::vector<char> buffer_;
};

// Renames oldName in oldDir to newName in newDir unless newName exists there.
// Answers 0, EEXIST when the name is taken, or another errno value. Where the
// file system refuses RENAME_NOREPLACE it links the new name and removes the
// old one; where it cannot link either, it checks the name and then renames
// (only then does a narrow race with another writer remain).
int RenameNoReplace(int oldDir, const char* oldName, int newDir, const char* newName);

}  // namespace ff
