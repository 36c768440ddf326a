// What the naming templates learn about one source file.
#pragma once

#include <string>

#include "platform/datetime.h"
#include "platform/environment.h"

namespace ff {

class TFileInfo {
 public:
  // Looks path up. Throws ff::Error "System Error.  Code: <errno>.\r\n<text>"
  // when it cannot be found.
  TFileInfo(std::string path, const Environment& env);
  // For a file whose creation instant the caller has read already.
  TFileInfo(std::string path, Instant creation, const Environment& env);

  const std::string& Path() const { return path_; }
  // The name part without its last extension: IMG_0001.JPG gives IMG_0001,
  // a.b.c gives a.b, .profile gives the empty text.
  std::string FileName() const;
  // The text after the name part's last ".", without the dot; may be empty.
  std::string FileExtension() const;
  // The creation time in local time, milliseconds included.
  DateTime CreationDateTime() const { return EncodeDateTime(local_); }
  const CalendarTime& CreationLocal() const { return local_; }
  // The exact creation instant, UTC.
  Instant Creation() const { return creation_; }

 private:
  std::string path_;
  Instant creation_;
  CalendarTime local_;
};

}  // namespace ff
