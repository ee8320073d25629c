#include "KdsTool.h"

#include "CDIB.h"
#include "FileSource.h"
#include "KdsArchive.h"
#include "SzddCompressor.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace {

std::string NameOf(const kds::Entry& entry) {
  return kds::IsTerminated(entry) ? std::string(entry.name) : std::string(entry.name, sizeof entry.name);
}

// The file name alone, whichever separator the path uses.
std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A member name that would write outside the folder it is extracted to.
bool IsUnsafeFileName(const std::string& name) {
  return name.empty() || name == "." || name == ".." || name.find_first_of("/\\:") != std::string::npos;
}

bool SameName(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

// The bitmap at the entry's offset, read by the loader itself.
DIBRefusal LoadEntry(const std::string& archive, bool bCompressed, const kds::Entry& entry, CDIB& dib) {
  CFile file;
  if (!file.Open(archive.c_str(), CFile::modeRead | CFile::shareDenyWrite)) return DIBRefusal::kCannotOpen;
  if (entry.offset > 0x7FFFFFFF) return DIBRefusal::kMemberOffset;
  FileSource in(file, bCompressed);
  return dib.ReadBitmapFromSource(in, entry.offset);
}

}  // namespace

int KdsTool::Fail(const std::string& message) {
  std::fprintf(stderr, "kdstool: %s\n", message.c_str());
  return 1;
}

int KdsTool::Pack(const std::string& archive, const std::vector<std::string>& files, bool bCompress) {
  std::vector<KdsArchive::Member> members;
  std::string error;
  for (const std::string& path : files) {
    KdsArchive::Member member{BaseName(path), {}};
    bool compressed = false;
    if (!ReadFileBytes(path, false, member.bytes, compressed, error)) return Fail(error);
    for (const KdsArchive::Member& earlier : members)
      if (SameName(earlier.name, member.name))
        return Fail("two members named \"" + member.name + "\": only the first could ever be loaded");
    // A member is a plain bitmap file that the loader takes.
    CDIB dib;
    CFile file;
    if (!file.Open(path.c_str(), CFile::modeRead)) return Fail(path + " cannot be opened");
    FileSource in(file, false);
    if (const DIBRefusal refusal = dib.ReadBitmapFromSource(in, 0); refusal != DIBRefusal::kNone)
      return Fail(path + " is not a bitmap file the loader takes (\"BM\" or \"BC\", uncompressed, 8 to 32 bits): " +
                  DescribeRefusal(refusal));
    // Its size is what the bitmap says; bytes after it belong to no member.
    DWORD size = 0;
    std::memcpy(&size, member.bytes.data() + 2, sizeof size);
    member.bytes.resize(size);
    members.push_back(std::move(member));
  }
  Bytes bytes;
  if (!KdsArchive::Build(members, bytes, error)) return Fail(error);
  if (bCompress) {
    try {
      bytes = SzddCompressor().Compress(bytes.data(), bytes.size());
    } catch (const std::length_error&) {
      return Fail("the archive is too large to compress");
    }
  }
  return WriteFileAtomically(archive, bytes, error) ? 0 : Fail(error);
}

int KdsTool::List(const std::string& archive) {
  KdsArchive kds;
  std::string error;
  if (!kds.Read(archive, error)) return Fail(error);
  for (const kds::Entry& entry : kds.Entries()) {
    const std::span<const BYTE> bytes = kds.MemberBytes(entry);
    CDIB dib;
    const DIBRefusal refusal = LoadEntry(archive, kds.IsCompressed(), entry, dib);
    std::string shape = std::string("(") + DescribeRefusal(refusal) + ")";
    if (refusal == DIBRefusal::kNone) {
      shape = std::to_string(dib.GetWidth()) + "x" + std::to_string(dib.GetHeight()) + "x" +
              std::to_string(dib.m_pBMI->bmiHeader.biBitCount);
    }
    std::printf("%-15s %10lu %10lu %s\n", NameOf(entry).c_str(), static_cast<unsigned long>(entry.offset),
                static_cast<unsigned long>(bytes.size()), shape.c_str());
  }
  return 0;
}

int KdsTool::Extract(const std::string& archive, const std::vector<std::string>& members, const std::string& folder) {
  KdsArchive kds;
  std::string error;
  if (!kds.Read(archive, error)) return Fail(error);
  std::vector<const kds::Entry*> chosen;
  for (const std::string& name : members) {
    const kds::Entry* found = nullptr;
    for (const kds::Entry& entry : kds.Entries())
      if (kds::IsTerminated(entry) && SameName(entry.name, name)) {
        found = &entry;
        break;
      }
    if (found == nullptr) return Fail("no member named \"" + name + "\" in " + archive);
    chosen.push_back(found);
  }
  if (members.empty())
    for (const kds::Entry& entry : kds.Entries()) chosen.push_back(&entry);

  std::error_code made;
  if (!folder.empty()) std::filesystem::create_directories(folder, made);
  int status = 0;
  for (const kds::Entry* entry : chosen) {
    const std::string name = NameOf(*entry);
    const std::span<const BYTE> bytes = kds.MemberBytes(*entry);
    if (IsUnsafeFileName(name)) status = Fail("member \"" + name + "\" has no name that is safe to write");
    else if (bytes.empty()) status = Fail("member \"" + name + "\" does not lie within " + archive);
    else if (!WriteFileAtomically((std::filesystem::path(folder) / name).string(), Bytes(bytes.begin(), bytes.end()), error))
      status = Fail(error);
  }
  return status;
}

int KdsTool::Verify(const std::string& archive) {
  KdsArchive kds;
  std::string error;
  if (!kds.Read(archive, error)) return Fail(error);
  int status = 0;
  const std::vector<kds::Entry>& entries = kds.Entries();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string name = NameOf(entries[i]);
    std::string problem;
    CDIB dib;
    if (!kds::IsTerminated(entries[i])) problem = "its name has no end within 16 bytes";
    for (std::size_t j = 0; problem.empty() && j < i; ++j)
      if (SameName(NameOf(entries[j]), name)) problem = "an earlier member of the same name hides it";
    if (problem.empty()) {
      const DIBRefusal refusal = KdsArchive::LoadMember(archive, name, dib);
      if (refusal != DIBRefusal::kNone) problem = DescribeRefusal(refusal);
    }
    if (problem.empty() && dib.m_pBMI->bmiHeader.biBitCount != 8)
      problem = "it has " + std::to_string(dib.m_pBMI->bmiHeader.biBitCount) + " bits a pixel, not 8";
    if (problem.empty()) {
      std::printf("%-15s ok\n", name.c_str());
    } else {
      std::printf("%-15s FAILED: %s\n", name.c_str(), problem.c_str());
      status = 1;
    }
  }
  return status;
}

int KdsTool::Compress(const std::string& in, const std::string& out) {
  Bytes bytes;
  bool compressed = false;
  std::string error;
  if (!ReadFileBytes(in, false, bytes, compressed, error)) return Fail(error);
  // As the platform's compress tool names files: the last character replaced by '_'.
  const std::string inName = BaseName(in);
  const std::string outName = BaseName(out);
  const char missing = !outName.empty() && outName.back() == '_' && !inName.empty() ? inName.back() : 0;
  try {
    bytes = SzddCompressor().Compress(bytes.data(), bytes.size(), missing);
  } catch (const std::length_error&) {
    return Fail(in + " is too large to compress");
  }
  return WriteFileAtomically(out, bytes, error) ? 0 : Fail(error);
}

int KdsTool::Expand(const std::string& in, const std::string& out) {
  Bytes bytes;
  bool compressed = false;
  std::string error;
  if (!ReadFileBytes(in, true, bytes, compressed, error)) return Fail(error);
  if (!compressed) return Fail(in + " is not SZDD-compressed");
  return WriteFileAtomically(out, bytes, error) ? 0 : Fail(error);
}
