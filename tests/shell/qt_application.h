// The one application object the shell tests' event loops and bus
// connections need; made on first use and kept for the whole run.
#pragma once

#include <QCoreApplication>

namespace ff::test {

inline void EnsureApplication() {
  static int argc = 1;
  static char name[] = "shell_tests";
  static char* argv[] = {name, nullptr};
  if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
}

}  // namespace ff::test
