#include <iostream>
#include <string_view>
#include <vector>

#include "nhmgen/CommandLine.h"

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  return qv::nhmgen::RunCommandLine(args, std::cout, std::cerr);
}
