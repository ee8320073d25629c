// kdstool: image archives (".kds") for skin authors.
#include "KdsTool.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr char kUsage[] =
    "usage: kdstool pack [--compress] ARCHIVE FILE...\n"
    "       kdstool list ARCHIVE\n"
    "       kdstool extract ARCHIVE [MEMBER...] [-C DIR]\n"
    "       kdstool verify ARCHIVE\n"
    "       kdstool compress IN OUT\n"
    "       kdstool expand IN OUT\n";

int Usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

int Run(const std::vector<std::string>& args) {
  if (args.empty()) return Usage();
  KdsTool tool;
  const std::string& command = args[0];
  std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "pack") {
    const bool compress = !rest.empty() && rest[0] == "--compress";
    if (compress) rest.erase(rest.begin());
    if (rest.size() < 2) return Usage();
    return tool.Pack(rest[0], std::vector<std::string>(rest.begin() + 1, rest.end()), compress);
  }
  if (command == "list" && rest.size() == 1) return tool.List(rest[0]);
  if (command == "verify" && rest.size() == 1) return tool.Verify(rest[0]);
  if (command == "extract" && !rest.empty()) {
    std::string folder;
    std::vector<std::string> members;
    for (std::size_t i = 1; i < rest.size(); ++i) {
      if (rest[i] != "-C") {
        members.push_back(rest[i]);
        continue;
      }
      if (++i == rest.size()) return Usage();
      folder = rest[i];
    }
    return tool.Extract(rest[0], members, folder);
  }
  if (command == "compress" && rest.size() == 2) return tool.Compress(rest[0], rest[1]);
  if (command == "expand" && rest.size() == 2) return tool.Expand(rest[0], rest[1]);
  return Usage();
}

}  // namespace

int main(int argc, char** argv) { return Run(std::vector<std::string>(argv + 1, argv + argc)); }
