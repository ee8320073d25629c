// kv2media: installation media for Korvi 2 from a folder of files, refused before anything is
// written when the setup could not install them as meant; and existing media checked likewise.
#include "MediaTool.h"

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr char kUsage[] =
    "usage: kv2media build [--setup EXE] [--skin KDS] [--codepage N] [--order FILE] [--force] PAYLOAD OUT\n"
    "       kv2media check [--codepage N] MEDIA\n";

int Usage() {
  std::cerr << kUsage;
  return 2;
}

// Options in any order before the operands; false on one not known or without its value.
bool ReadOptions(std::vector<std::string>& args, MediaTool::BuildOptions& options, bool bBuild) {
  std::vector<std::string> operands;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool bValue = i + 1 < args.size();
    if (arg == "--codepage" && bValue) {
      char* end = nullptr;
      options.nCodePage = static_cast<UINT>(std::strtoul(args[++i].c_str(), &end, 10));
      if (*end != '\0' || options.nCodePage == 0) return false;
    } else if (bBuild && arg == "--setup" && bValue) {
      options.setup = args[++i];
    } else if (bBuild && arg == "--skin" && bValue) {
      options.skin = args[++i];
    } else if (bBuild && arg == "--order" && bValue) {
      options.order = args[++i];
    } else if (bBuild && arg == "--force") {
      options.bForce = true;
    } else if (arg.starts_with("--")) {
      return false;
    } else {
      operands.push_back(arg);
    }
  }
  args = operands;
  return true;
}

int Run(std::vector<std::string> args) {
  if (args.empty()) return Usage();
  const std::string command = args[0];
  args.erase(args.begin());
  MediaTool::BuildOptions options;
  options.setup = KV2_RELEASE_SETUP;
  options.skin = KV2_PROJECT_SKIN;
  MediaTool tool(std::cout, std::cerr);
  if (command == "build" && ReadOptions(args, options, true) && args.size() == 2) {
    options.payload = args[0];
    options.out = args[1];
    return tool.Build(options);
  }
  if (command == "check" && ReadOptions(args, options, false) && args.size() == 1)
    return tool.Check(args[0], options.nCodePage);
  return Usage();
}

}  // namespace

int main(int argc, char** argv) { return Run(std::vector<std::string>(argv + 1, argv + argc)); }
