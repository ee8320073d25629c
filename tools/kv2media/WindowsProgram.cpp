#include "WindowsProgram.h"

#include <cstdint>
#include <cstdio>
#include <fstream>

namespace {

// Where the MZ header keeps the offset of the PE header, and the machine types that run.
constexpr std::streamoff kNewHeaderOffset = 0x3C;
constexpr std::uint16_t kMachineX86 = 0x014C;
constexpr std::uint16_t kMachineX64 = 0x8664;
// The optional header follows the PE signature and the file header; the certificate table is the
// fifth of its data directories, which begin at an offset that differs for PE32 and PE32+.
constexpr std::uint32_t kOptionalHeader = 24;
constexpr std::uint16_t kPe32 = 0x10B, kPe32Plus = 0x20B;
constexpr std::uint32_t kDirectoriesPe32 = 96, kDirectoriesPe32Plus = 112;  // their count is the field before
constexpr std::uint32_t kCertificateTable = 4;

std::uint32_t Little(const unsigned char* p, int nBytes) {
  std::uint32_t n = 0;
  for (int i = nBytes - 1; i >= 0; --i) n = n << 8 | p[i];
  return n;
}

bool ReadAt(std::ifstream& in, std::streamoff nOffset, unsigned char* pBytes, std::streamsize nCount) {
  return static_cast<bool>(in.seekg(nOffset).read(reinterpret_cast<char*>(pBytes), nCount));
}

// Why the file has no PE header; empty, and its machine type, when it has one.
std::string ReadMachine(const std::string& path, std::uint16_t& nMachine) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "missing or unreadable";
  unsigned char mz[2] = {};
  if (!ReadAt(in, 0, mz, 2) || mz[0] != 'M' || mz[1] != 'Z') return "not a Windows program: no MZ header";
  unsigned char offset[4] = {};
  if (!ReadAt(in, kNewHeaderOffset, offset, 4)) return "not a Windows program: its MZ header is cut short";
  const std::uint32_t nPe = Little(offset, 4);
  unsigned char pe[6] = {};
  if (!ReadAt(in, static_cast<std::streamoff>(nPe), pe, 6) || pe[0] != 'P' || pe[1] != 'E' || pe[2] != 0 || pe[3] != 0)
    return "not a Windows program: its MZ header leads to no PE header (a DOS program, or junk)";
  nMachine = static_cast<std::uint16_t>(pe[4] | pe[5] << 8);
  return {};
}

}  // namespace

std::string WhyNotWindowsProgram(const std::string& path) {
  std::uint16_t nMachine = 0;
  const std::string why = ReadMachine(path, nMachine);
  if (!why.empty()) return why;
  if (nMachine == kMachineX86 || nMachine == kMachineX64) return {};
  char hex[8];
  std::snprintf(hex, sizeof hex, "0x%04X", nMachine);
  return std::string("a Windows program for machine type ") + hex + ", which x86 and x64 machines do not run";
}

std::uint16_t MachineType(const std::string& path) {
  std::uint16_t nMachine = 0;
  return ReadMachine(path, nMachine).empty() ? nMachine : 0;
}

bool IsSigned(const std::string& path) {
  if (!WhyNotWindowsProgram(path).empty()) return false;
  std::ifstream in(path, std::ios::binary);
  unsigned char bytes[8] = {};
  if (!ReadAt(in, kNewHeaderOffset, bytes, 4)) return false;
  const std::uint64_t nOptional = std::uint64_t{Little(bytes, 4)} + kOptionalHeader;
  if (!ReadAt(in, static_cast<std::streamoff>(nOptional), bytes, 2)) return false;
  const std::uint16_t nMagic = static_cast<std::uint16_t>(Little(bytes, 2));
  if (nMagic != kPe32 && nMagic != kPe32Plus) return false;
  const std::uint64_t nDirectories = nOptional + (nMagic == kPe32 ? kDirectoriesPe32 : kDirectoriesPe32Plus);
  if (!ReadAt(in, static_cast<std::streamoff>(nDirectories - 4), bytes, 4) || Little(bytes, 4) <= kCertificateTable)
    return false;
  if (!ReadAt(in, static_cast<std::streamoff>(nDirectories + kCertificateTable * 8), bytes, 8)) return false;
  const std::uint64_t nStart = Little(bytes, 4), nSize = Little(bytes + 4, 4);
  in.clear();
  const std::streamoff nLength = in.seekg(0, std::ios::end).tellg();
  return nSize > 0 && nStart > 0 && nLength >= 0 && nStart + nSize <= static_cast<std::uint64_t>(nLength);
}

bool IsProgramName(const std::string& name) {
  if (name.size() < 4) return false;
  std::string extension = name.substr(name.size() - 4);
  for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
  return extension == ".exe" || extension == ".dll";
}
