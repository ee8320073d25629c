// kv2media: installation media for Korvi 2 from a folder of files, refused before anything is
// written when the setup could not install them as meant; and existing media checked likewise.
#include "MediaTool.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

// The version of the setup the tool lays out media for.
constexpr char kVersion[] = "kv2media 2.0.0";

constexpr char kUsage[] =
    "usage: kv2media build [OPTIONS] PAYLOAD OUT\n"
    "       kv2media check [OPTIONS] MEDIA\n"
    "       kv2media --help | --version\n";

std::string Help() {
  return std::string(kUsage) +
         "\n"
         "build lays out installation media in the folder OUT: KV2Setup.exe, its skin K2Login.kds, every\n"
         "file of the folder PAYLOAD, and the list file KV2Setup.inf naming them. It refuses, writing\n"
         "nothing, a payload the setup could not install as meant, and names each file and why.\n"
         "check reads existing media as the setup does and names every line that would fail.\n"
         "\n"
         "options of build:\n"
         "  --setup EXE     the KV2Setup.exe to ship (default: " KV2_RELEASE_SETUP ",\n"
         "                  in the tree this kv2media was built in)\n"
         "  --skin KDS      the skin archive to ship as K2Login.kds (default: " KV2_PROJECT_SKIN ")\n"
         "  --codepage N    the code page of the machines the media are for (default: 949)\n"
         "  --order FILE    the list file's order, one name a line, in UTF-8 or in the code page (a\n"
         "                  previous KV2Setup.inf); blank lines are skipped (default: by the names' bytes)\n"
         "  --sign COMMAND  sign each Windows program of the media (KV2Setup.exe, the payload's .exe and\n"
         "                  .dll) with the shell command, the program's path in place of {} (default: none)\n"
         "  --force         replace an OUT that is not empty (default: refuse it)\n"
         "  --strict        refuse what is otherwise a warning (default: warn)\n"
         "  --progress      show the progress of payloads of 64 MiB and more even when the error\n"
         "                  stream is not a terminal (default: on a terminal only)\n"
         "options of check:\n"
         "  --codepage N    the code page the list is in (default: the one the media remember in\n"
         "                  KV2Media.txt, else 949)\n"
         "  --signed        every Windows program must carry a signature (default: not asked)\n"
         "options of both:\n"
         "  -q, --quiet     print only warnings and errors\n"
         "  -h, --help      this text, then stop\n"
         "  --version       the version, then stop\n"
         "options go anywhere, as --name VALUE or --name=VALUE; after -- every argument is an operand\n"
         "\n"
         "exit status: 0 done, 1 problems found in the payload or media, 2 wrong usage, 3 an I/O failure,\n"
         "128 and the signal's number when interrupted (the media in hand removed, OUT as it was)\n";
}

int Usage(const std::string& why) {
  std::cerr << "kv2media: error: " << why << "\n" << kUsage;
  return MediaTool::kUsage;
}

struct Command {
  std::string verb;
  std::vector<std::string> operands;
  MediaTool::BuildOptions options;
  bool bQuiet = false;
  bool bHelp = false;
  bool bVersion = false;
  bool bProgressAsked = false;
  bool bCodePageGiven = false;
  bool bSigned = false;
};

// "--option=value" as two arguments, and everything after "--" an operand.
std::vector<std::string> Split(const std::vector<std::string>& args) {
  std::vector<std::string> split;
  bool bOperands = false;
  for (const std::string& arg : args) {
    const std::size_t nEquals = arg.find('=');
    if (!bOperands && arg.starts_with("--") && nEquals != std::string::npos) {
      split.push_back(arg.substr(0, nEquals));
      split.push_back(arg.substr(nEquals + 1));
    } else {
      split.push_back(arg);
    }
    bOperands = bOperands || arg == "--";
  }
  return split;
}

// The verb, then options in any order among the operands; an error message on one not known or
// without its value, or one the verb does not take.
std::string ReadOptions(const std::vector<std::string>& args, Command& command) {
  bool bOperands = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool bBuild = command.verb == "build";
    const bool bValue = i + 1 < args.size();
    const bool bTakesValue =
        arg == "--codepage" || arg == "--setup" || arg == "--skin" || arg == "--order" || arg == "--sign";
    if (!bOperands && bTakesValue && !bValue) return arg + " needs a value";
    if (bOperands || arg == "-" || !arg.starts_with("-")) {
      if (command.verb.empty()) command.verb = arg;
      else command.operands.push_back(arg);
    } else if (arg == "--") {
      bOperands = true;
    } else if (arg == "-h" || arg == "--help") {
      command.bHelp = true;
    } else if (arg == "--version") {
      command.bVersion = true;
    } else if (arg == "-q" || arg == "--quiet") {
      command.bQuiet = true;
    } else if (arg == "--codepage") {
      char* end = nullptr;
      const std::string& value = args[++i];
      const unsigned long nCodePage = std::strtoul(value.c_str(), &end, 10);
      command.options.nCodePage = static_cast<UINT>(nCodePage);
      if (value.empty() || *end != '\0' || !std::isdigit(static_cast<unsigned char>(value[0])) || nCodePage > 0xFFFF ||
          !CodePage(command.options.nCodePage).IsKnown())
        return "--codepage " + value + ": not a code page this system converts to";
      command.bCodePageGiven = true;
    } else if (bBuild && arg == "--setup") {
      command.options.setup = args[++i];
    } else if (bBuild && arg == "--skin") {
      command.options.skin = args[++i];
    } else if (bBuild && arg == "--order") {
      command.options.order = args[++i];
    } else if (bBuild && arg == "--sign") {
      command.options.sign = args[++i];
      if (command.options.sign.empty()) return "--sign needs a command";
    } else if (!bBuild && arg == "--signed") {
      command.bSigned = true;
    } else if (bBuild && arg == "--force") {
      command.options.bForce = true;
    } else if (bBuild && arg == "--strict") {
      command.options.bStrict = true;
    } else if (bBuild && arg == "--progress") {
      command.bProgressAsked = true;
    } else {
      return "unknown option " + arg + (command.verb.empty() ? "" : " for " + command.verb);
    }
  }
  return {};
}

int Run(const std::vector<std::string>& args) {
  Command command;
  command.options.setup = KV2_RELEASE_SETUP;
  command.options.skin = KV2_PROJECT_SKIN;
  const std::string error = ReadOptions(Split(args), command);
  if (!error.empty()) return Usage(error);
  if (command.bHelp) {
    std::cout << Help();
    return MediaTool::kDone;
  }
  if (command.bVersion && !(command.verb.empty() && command.operands.empty()))
    return Usage("--version takes no arguments");
  if (command.bVersion) {
    std::cout << kVersion << "\n";
    return MediaTool::kDone;
  }
  std::ostream discarded(nullptr);
  MediaTool tool(command.bQuiet ? static_cast<std::ostream&>(discarded) : std::cout, std::cerr);
  const std::vector<std::string>& operands = command.operands;
  if (std::find(operands.begin(), operands.end(), "") != operands.end()) return Usage("an empty name for a folder");
  if (command.verb == "build" && operands.size() == 2) {
    command.options.payload = operands[0];
    command.options.out = operands[1];
    command.options.bProgress = !command.bQuiet && (command.bProgressAsked || ::isatty(STDERR_FILENO));
    return tool.Build(command.options);
  }
  if (command.verb == "check" && operands.size() == 1)
    return tool.Check(operands[0], command.bCodePageGiven ? command.options.nCodePage : 0, command.bSigned);
  if (command.verb == "build" || command.verb == "check")
    return Usage(command.verb + " takes " + (command.verb == "build" ? "PAYLOAD and OUT" : "MEDIA"));
  return Usage(command.verb.empty() ? "no command" : "unknown command " + command.verb);
}

}  // namespace

int main(int argc, char** argv) { return Run(std::vector<std::string>(argv + 1, argv + argc)); }
