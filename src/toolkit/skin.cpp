#include "toolkit/skin.h"

#include <unistd.h>
#include <zlib.h>

#include <QApplication>
#include <fstream>
#include <iterator>

#include "platform/error.h"
#include "platform/paths.h"

namespace ff {
namespace {

constexpr size_t kMaxSkinSize = 16 << 20;  // a style sheet is never this large

std::string Inflate(const std::string& data, const std::string& file) {
  z_stream stream{};
  if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) throw Error("Cannot read the skin " + file);
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  std::string out;
  char buffer[65536];
  int status = Z_OK;
  while (status == Z_OK) {
    stream.next_out = reinterpret_cast<Bytef*>(buffer);
    stream.avail_out = sizeof buffer;
    status = inflate(&stream, Z_NO_FLUSH);
    out.append(buffer, sizeof buffer - stream.avail_out);
    if (out.size() > kMaxSkinSize) status = Z_DATA_ERROR;
    if (status == Z_BUF_ERROR && stream.avail_in == 0) status = Z_DATA_ERROR;  // cut short
  }
  inflateEnd(&stream);
  if (status != Z_STREAM_END) throw Error("The skin " + file + " is damaged");
  return out;
}

}  // namespace

std::string ReadSkin(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw Error("Cannot read the skin " + file + ": " + ErrnoText(errno));
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (data.size() > kMaxSkinSize) throw Error("The skin " + file + " is too large");
  const bool gzip = data.size() >= 2 && static_cast<unsigned char>(data[0]) == 0x1f &&
                    static_cast<unsigned char>(data[1]) == 0x8b;
  return gzip ? Inflate(data, file) : data;
}

std::string FindSkin(const std::string& name, const std::string& executable) {
  if (name.empty()) return {};
  if (::access(name.c_str(), R_OK) == 0) return name;
  if (IsFullPath(name)) return {};
  const std::string_view exeName = FileNamePart(executable);
  const std::string folder = executable.substr(0, executable.size() - exeName.size());
  for (const std::string& candidate :
       {folder + "skins/" + name, folder + "../share/fotoferry/skins/" + name}) {
    if (::access(candidate.c_str(), R_OK) == 0) return candidate;
  }
  return {};
}

bool ApplySkin(const std::string& file) {
  try {
    const std::string sheet = ReadSkin(file);
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
      app->setStyleSheet(QString::fromUtf8(sheet.data(), static_cast<qsizetype>(sheet.size())));
    return true;
  } catch (const Error&) {
    return false;
  }
}

}  // namespace ff
