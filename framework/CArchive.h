// Buffered storing or loading of values, strings and objects over a CFile, in the persistent
// object format of the original framework (class tags, schemas, indexes, counted strings).
#pragma once

#include "CFile.h"

#include <map>
#include <type_traits>
#include <vector>

class CArchive {
 public:
  enum Mode { store = 0, load = 1 };

  CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096);
  // Flushes what is stored; errors at this point are swallowed: call Close to see them.
  ~CArchive();
  CArchive(const CArchive&) = delete;
  CArchive& operator=(const CArchive&) = delete;

  // Attributes
  BOOL IsLoading() const { return m_nMode == load; }
  BOOL IsStoring() const { return m_nMode == store; }
  CFile* GetFile() const { return m_pFile; }
  CString GetFileName() const { return m_pFile ? m_pFile->GetFilePath() : CString(); }

  // Raw blocks. Read returns what was there, fewer bytes at the end of the file.
  UINT Read(void* lpBuf, UINT nMax);
  void Write(const void* lpBuf, UINT nMax);
  // Stored bytes reach the file; when loading, the file is put back at the first byte not
  // yet consumed, so that the caller may read the file itself and the archive go on after it.
  void Flush();
  void Close();

  // Values, little-endian.
  CArchive& operator<<(BYTE by) { return WriteValue(by); }
  CArchive& operator<<(WORD w) { return WriteValue(w); }
  CArchive& operator<<(LONG l) { return WriteValue(l); }
  CArchive& operator<<(DWORD dw) { return WriteValue(dw); }
  // int is LONG natively but a type of its own on Windows.
  template <typename T>
    requires(std::is_same_v<T, int> && !std::is_same_v<int, LONG>)
  CArchive& operator<<(T i) {
    return WriteValue(static_cast<LONG>(i));
  }
  CArchive& operator<<(short s) { return WriteValue(static_cast<WORD>(s)); }
  CArchive& operator>>(BYTE& by) { return ReadValue(by); }
  CArchive& operator>>(WORD& w) { return ReadValue(w); }
  CArchive& operator>>(LONG& l) { return ReadValue(l); }
  CArchive& operator>>(DWORD& dw) { return ReadValue(dw); }
  template <typename T>
    requires(std::is_same_v<T, int> && !std::is_same_v<int, LONG>)
  CArchive& operator>>(T& i) {
    LONG l = 0;
    ReadValue(l);
    i = l;
    return *this;
  }
  CArchive& operator>>(short& s);

  // Strings: length as a byte below 0xFF, else 0xFF and a word below 0xFFFE, else 0xFF, 0xFFFF
  // and a double word; then the bytes.
  CArchive& operator<<(const CString& str);
  CArchive& operator>>(CString& str);

  // Objects: null, a reference to one already in this archive, or a class reference and the
  // object's own data. Loading creates the object by class name; a class not derived from the
  // requested one, an unknown class, another schema or a damaged reference throw.
  CArchive& operator<<(const CObject* pOb) {
    WriteObject(pOb);
    return *this;
  }
  CArchive& operator>>(CObject*& pOb) {
    pOb = ReadObject(nullptr);
    return *this;
  }
  void WriteObject(const CObject* pOb);
  CObject* ReadObject(const CRuntimeClass* pClassRefRequested);
  void WriteClass(const CRuntimeClass* pClassRef);
  const CRuntimeClass* ReadClass(const CRuntimeClass* pClassRefRequested = nullptr, UINT* pSchema = nullptr,
                                 DWORD* pObTag = nullptr);

  // Loading: a mark of where the sequence of loaded objects stands, and whether an object was
  // first loaded after it. A reader whose data fails may free what it alone was handed.
  DWORD GetLoadMark() const { return static_cast<DWORD>(m_loadArray.size()); }
  BOOL IsLoadedSince(DWORD nMark, const CObject* pOb) const;

  // Element counts: a word, or 0xFFFF and a double word.
  void WriteCount(DWORD dwCount);
  DWORD ReadCount();

 private:
  template <typename T>
  CArchive& WriteValue(T value);
  template <typename T>
  CArchive& ReadValue(T& value);
  // The class part of a new class reference: schema, name length and name. Loading finds the
  // registered class by that name; null when none has it.
  void StoreClassName(const CRuntimeClass* pClassRef);
  const CRuntimeClass* LoadClassName(UINT* pwSchemaNum);
  void FillBuffer(UINT nNeeded);
  void FlushStored();
  [[noreturn]] void Throw(int cause) const;

  CFile* m_pFile;
  UINT m_nMode;
  std::vector<BYTE> m_buffer;
  UINT m_nCur = 0;  // next byte to read or write
  UINT m_nMax = 0;  // end of valid bytes when loading

  // One index sequence, from 1, shared by classes and objects in the order they first appear.
  std::map<const void*, DWORD> m_storeMap;
  struct Loaded {
    const CRuntimeClass* pClass;  // set for a class entry
    CObject* pObject;             // set for an object entry (may be null only at index 0)
  };
  std::vector<Loaded> m_loadArray;
  DWORD m_nMapCount = 1;
};
