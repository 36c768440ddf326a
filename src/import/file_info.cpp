#include "import/file_info.h"

#include "platform/error.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace ff {
namespace {

Instant LookUp(const std::string& path) {
  FileStatus status;
  int error = 0;
  if (!StatPath(path, status, error)) throw Error(SystemErrorText(error));
  return status.creation;
}

}  // namespace

TFileInfo::TFileInfo(std::string path, const Environment& env)
    : TFileInfo(path, LookUp(path), env) {}

TFileInfo::TFileInfo(std::string path, Instant creation, const Environment& env)
    : path_(std::move(path)), creation_(creation), local_(env.ToLocal(creation)) {}

std::string TFileInfo::FileName() const {
  const std::string_view name = FileNamePart(path_);
  const size_t dot = name.rfind('.');
  return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

std::string TFileInfo::FileExtension() const {
  const std::string_view name = FileNamePart(path_);
  const size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot + 1));
}

}  // namespace ff
