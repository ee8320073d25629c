#include "WindowsProgram.h"

#include <cstdint>
#include <cstdio>
#include <fstream>

namespace {

// Where the MZ header keeps the offset of the PE header, and the machine types that run.
constexpr std::streamoff kNewHeaderOffset = 0x3C;
constexpr std::uint16_t kMachineX86 = 0x014C;
constexpr std::uint16_t kMachineX64 = 0x8664;

bool ReadAt(std::ifstream& in, std::streamoff nOffset, unsigned char* pBytes, std::streamsize nCount) {
  return static_cast<bool>(in.seekg(nOffset).read(reinterpret_cast<char*>(pBytes), nCount));
}

}  // namespace

std::string WhyNotWindowsProgram(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "missing or unreadable";
  unsigned char mz[2] = {};
  if (!ReadAt(in, 0, mz, 2) || mz[0] != 'M' || mz[1] != 'Z') return "not a Windows program: no MZ header";
  unsigned char offset[4] = {};
  if (!ReadAt(in, kNewHeaderOffset, offset, 4)) return "not a Windows program: its MZ header is cut short";
  const std::uint32_t nPe = offset[0] | offset[1] << 8 | offset[2] << 16 | static_cast<std::uint32_t>(offset[3]) << 24;
  unsigned char pe[6] = {};
  if (!ReadAt(in, static_cast<std::streamoff>(nPe), pe, 6) || pe[0] != 'P' || pe[1] != 'E' || pe[2] != 0 || pe[3] != 0)
    return "not a Windows program: its MZ header leads to no PE header (a DOS program, or junk)";
  const std::uint16_t nMachine = static_cast<std::uint16_t>(pe[4] | pe[5] << 8);
  if (nMachine == kMachineX86 || nMachine == kMachineX64) return {};
  char hex[8];
  std::snprintf(hex, sizeof hex, "0x%04X", nMachine);
  return std::string("a Windows program for machine type ") + hex + ", which x86 and x64 machines do not run";
}
