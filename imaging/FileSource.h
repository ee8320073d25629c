// An open file as a byte source: read directly, or through an expansion reader when the file is
// SZDD-compressed as a whole. A file error or a short read is a failed read.
#pragma once

#include "ByteSource.h"
#include "CFile.h"

class FileSource : public ByteSource {
 public:
  // The file stays open and its owner's. Reads start at the data's start, whatever the file's
  // position. A compressed source reads over a handle of its own, so that closing the expansion
  // reader leaves the owner's handle open; that handle shares the file's position, which the
  // expansion reader may expect to find where it left it: while a compressed source lives,
  // nothing else reads the file.
  FileSource(CFile& file, bool bCompressed);
  ~FileSource() override;

  bool Seek(std::int64_t position) override;
  bool Read(void* pBuffer, std::int64_t nBytes) override;

 private:
  void OpenExpansion();
  // The file's length, or the expanded length as far as the compressed data can justify it.
  std::int64_t MeasureLength();
  // Moves the file or reader to where the next read starts. Every read does, rather than trust
  // a position remembered from the last one: whoever else moved the file since cannot make a
  // read take the wrong bytes.
  bool Reposition();
  INT ReadSome(BYTE* pBuffer, INT nBytes);

  CFile& m_file;
  bool m_bCompressed;
  INT m_hLZ = -1;  // the expansion reader; negative when it could not be opened
  std::int64_t m_nPosition = 0;  // where the next read starts
};
