#include "KdsArchive.h"

#include "CDIB.h"

#include <cstring>

namespace {

// Member offsets must stay within what the loader's signed 32-bit offsets reach.
constexpr std::size_t kMaxArchiveBytes = 0x7FFFFFFF;

}  // namespace

bool KdsArchive::Read(const std::string& path, std::string& error) {
  if (!ReadFileBytes(path, true, m_bytes, m_bCompressed, error)) return false;
  kds::Header header;
  if (m_bytes.size() < sizeof header) {
    error = path + " is too short for an image archive";
    return false;
  }
  std::memcpy(&header, m_bytes.data(), sizeof header);
  // The loader does not look at the magic of a compressed archive's expanded header; a tool
  // that says what is wrong does.
  if (!kds::HasMagic(header.magic, kds::kMagic)) {
    error = path + " is not an image archive (no \"DS\" at its start)";
    return false;
  }
  const std::size_t directoryBytes = header.count * sizeof(kds::Entry);
  if (m_bytes.size() < sizeof header + directoryBytes) {
    error = path + ": the directory of " + std::to_string(header.count) + " entries is cut short";
    return false;
  }
  m_entries.resize(header.count);
  std::memcpy(m_entries.data(), m_bytes.data() + sizeof header, directoryBytes);
  return true;
}

std::span<const BYTE> KdsArchive::MemberBytes(const kds::Entry& entry) const {
  const std::size_t sizeField = 2;
  if (entry.offset > m_bytes.size() || m_bytes.size() - entry.offset < sizeField + sizeof(DWORD)) return {};
  DWORD size = 0;
  std::memcpy(&size, m_bytes.data() + entry.offset + sizeField, sizeof size);
  if (size > m_bytes.size() - entry.offset) return {};
  return std::span<const BYTE>(m_bytes.data() + entry.offset, size);
}

bool KdsArchive::Build(const std::vector<Member>& members, Bytes& archive, std::string& error) {
  if (members.size() > 0xFFFF) {
    error = "an image archive holds at most 65535 members";
    return false;
  }
  kds::Header header{};
  std::memcpy(header.magic, kds::kMagic, sizeof header.magic);
  header.count = static_cast<WORD>(members.size());
  std::vector<kds::Entry> directory(members.size());
  std::size_t offset = sizeof header + directory.size() * sizeof(kds::Entry);
  for (std::size_t i = 0; i < members.size(); ++i) {
    if (members[i].name.size() > kds::kMaxNameLength) {
      error = "member name \"" + members[i].name + "\" has " + std::to_string(members[i].name.size()) +
              " characters; at most " + std::to_string(kds::kMaxNameLength) + " fit";
      return false;
    }
    std::memset(directory[i].name, 0, sizeof directory[i].name);
    std::memcpy(directory[i].name, members[i].name.data(), members[i].name.size());
    directory[i].offset = static_cast<DWORD>(offset);
    offset += members[i].bytes.size();
    if (offset > kMaxArchiveBytes) {
      error = "the archive would be larger than 2 GB";
      return false;
    }
  }
  archive.assign(offset, 0);
  BYTE* out = archive.data();
  std::memcpy(out, &header, sizeof header);
  std::memcpy(out + sizeof header, directory.data(), directory.size() * sizeof(kds::Entry));
  for (std::size_t i = 0; i < members.size(); ++i)
    std::memcpy(out + directory[i].offset, members[i].bytes.data(), members[i].bytes.size());
  return true;
}

DIBRefusal KdsArchive::LoadMember(const std::string& archive, const std::string& member, CDIB& dib) {
  return dib.ReadArchiveMemberFromPath(archive.c_str(), member.c_str());
}
