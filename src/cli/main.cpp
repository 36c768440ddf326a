#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/instance_guard.h"
#include "cli/cli.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  ff::InitInstanceGuard();
  const int code = ff::RunCli(args, std::cout, std::cerr, std::cin,
                              isatty(STDIN_FILENO) && isatty(STDERR_FILENO));
  ff::DoneInstanceGuard();
  return code;
}
