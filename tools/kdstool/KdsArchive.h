// An image archive held whole in memory: read (expanded when compressed) to list, extract and
// verify it, or built from bitmap files to pack it.
#pragma once

#include "FileBytes.h"
#include "ImageArchiveFormat.h"

#include <span>
#include <string>
#include <vector>

class CDIB;

class KdsArchive {
 public:
  struct Member {
    std::string name;
    Bytes bytes;  // a complete bitmap file
  };

  // False with a reason when the file is no archive or its directory is cut short.
  bool Read(const std::string& path, std::string& error);

  bool IsCompressed() const { return m_bCompressed; }
  const std::vector<kds::Entry>& Entries() const { return m_entries; }
  // The bitmap file an entry points at, as long as its bfSize says; empty when it does not lie
  // within the archive.
  std::span<const BYTE> MemberBytes(const kds::Entry& entry) const;

  // A member by the name a skin names it ("skin|member" for skin.kds), read by the loader itself.
  static bool LoadMember(const std::string& archive, const std::string& member, CDIB& dib);

  // Header, directory, then the members in the order given.
  static bool Build(const std::vector<Member>& members, Bytes& archive, std::string& error);

 private:
  Bytes m_bytes;
  bool m_bCompressed = false;
  std::vector<kds::Entry> m_entries;
};
