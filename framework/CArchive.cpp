#include "CArchive.h"

#include "CArchiveException.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <type_traits>

namespace {

constexpr WORD wNullTag = 0;
constexpr WORD wNewClassTag = 0xFFFF;
constexpr WORD wClassTag = 0x8000;
constexpr DWORD dwBigClassTag = 0x80000000u;
constexpr WORD wBigObjectTag = 0x7FFF;
constexpr DWORD nMaxMapCount = 0x3FFFFFFE;
// Class names longer than this are not ours; refusing them bounds what a damaged archive reads.
constexpr UINT nMaxClassName = 64;

// Values are stored little-endian whatever the machine.
template <typename T>
void ToLittleEndian(T value, BYTE* out) {
  using U = std::make_unsigned_t<T>;
  const U u = static_cast<U>(value);
  for (size_t i = 0; i < sizeof(T); ++i) out[i] = static_cast<BYTE>(u >> (8 * i));
}

template <typename T>
T FromLittleEndian(const BYTE* in) {
  using U = std::make_unsigned_t<T>;
  U u = 0;
  for (size_t i = 0; i < sizeof(T); ++i) u = static_cast<U>(u | static_cast<U>(static_cast<U>(in[i]) << (8 * i)));
  return static_cast<T>(u);
}

}  // namespace

CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize)
    : m_pFile(pFile), m_nMode(nMode & load), m_buffer(static_cast<size_t>(std::max(nBufSize, 128))) {
  if (IsLoading()) m_loadArray.push_back({nullptr, nullptr});
}

CArchive::~CArchive() {
  try {
    if (m_pFile != nullptr && IsStoring()) FlushStored();
  } catch (const CException&) {
  }
}

void CArchive::Throw(int cause) const { CArchiveException::Throw(cause, GetFileName()); }

// ---- Raw blocks ---------------------------------------------------------------------------

void CArchive::FlushStored() {
  if (m_nCur == 0) return;
  const UINT n = m_nCur;
  m_nCur = 0;
  m_pFile->Write(m_buffer.data(), n);
}

void CArchive::Flush() {
  if (IsStoring()) {
    FlushStored();
    return;
  }
  if (m_nMax != m_nCur) m_pFile->Seek(-static_cast<LONG>(m_nMax - m_nCur), CFile::current);
  m_nCur = m_nMax = 0;
}

void CArchive::Close() {
  Flush();
  m_pFile = nullptr;
}

void CArchive::FillBuffer(UINT nNeeded) {
  // Keep what is not consumed yet at the front, then read as much as fits behind it.
  const UINT left = m_nMax - m_nCur;
  std::memmove(m_buffer.data(), m_buffer.data() + m_nCur, left);
  m_nCur = 0;
  m_nMax = left;
  while (m_nMax < nNeeded) {
    const UINT n = m_pFile->Read(m_buffer.data() + m_nMax, static_cast<UINT>(m_buffer.size()) - m_nMax);
    if (n == 0) break;
    m_nMax += n;
  }
}

UINT CArchive::Read(void* lpBuf, UINT nMax) {
  if (IsStoring()) Throw(CArchiveException::writeOnly);
  BYTE* out = static_cast<BYTE*>(lpBuf);
  UINT done = 0;
  while (done < nMax) {
    if (m_nCur == m_nMax) {
      // Large blocks go straight from the file.
      if (nMax - done >= m_buffer.size()) {
        const UINT n = m_pFile->Read(out + done, nMax - done);
        if (n == 0) break;
        done += n;
        continue;
      }
      FillBuffer(1);
      if (m_nCur == m_nMax) break;
    }
    const UINT n = std::min(nMax - done, m_nMax - m_nCur);
    std::memcpy(out + done, m_buffer.data() + m_nCur, n);
    m_nCur += n;
    done += n;
  }
  return done;
}

void CArchive::Write(const void* lpBuf, UINT nMax) {
  if (IsLoading()) Throw(CArchiveException::readOnly);
  const BYTE* in = static_cast<const BYTE*>(lpBuf);
  if (nMax >= m_buffer.size()) {
    FlushStored();
    m_pFile->Write(in, nMax);
    return;
  }
  if (m_nCur + nMax > m_buffer.size()) FlushStored();
  std::memcpy(m_buffer.data() + m_nCur, in, nMax);
  m_nCur += nMax;
}

// ---- Values -------------------------------------------------------------------------------

template <typename T>
CArchive& CArchive::WriteValue(T value) {
  BYTE bytes[sizeof(T)];
  ToLittleEndian(value, bytes);
  Write(bytes, sizeof bytes);
  return *this;
}

template <typename T>
CArchive& CArchive::ReadValue(T& value) {
  BYTE bytes[sizeof(T)];
  if (Read(bytes, sizeof bytes) != sizeof bytes) Throw(CArchiveException::endOfFile);
  value = FromLittleEndian<T>(bytes);
  return *this;
}

template CArchive& CArchive::WriteValue(BYTE);
template CArchive& CArchive::WriteValue(WORD);
template CArchive& CArchive::WriteValue(LONG);
template CArchive& CArchive::WriteValue(DWORD);
template CArchive& CArchive::ReadValue(BYTE&);
template CArchive& CArchive::ReadValue(WORD&);
template CArchive& CArchive::ReadValue(LONG&);
template CArchive& CArchive::ReadValue(DWORD&);

CArchive& CArchive::operator>>(short& s) {
  WORD w = 0;
  ReadValue(w);
  s = static_cast<short>(w);
  return *this;
}

// ---- Strings ------------------------------------------------------------------------------

CArchive& CArchive::operator<<(const CString& str) {
  const DWORD n = static_cast<DWORD>(str.GetLength());
  if (n < 0xFF) {
    *this << static_cast<BYTE>(n);
  } else if (n < 0xFFFE) {
    *this << static_cast<BYTE>(0xFF) << static_cast<WORD>(n);
  } else {
    *this << static_cast<BYTE>(0xFF) << static_cast<WORD>(0xFFFF) << n;
  }
  Write(static_cast<const char*>(str), n);
  return *this;
}

CArchive& CArchive::operator>>(CString& str) {
  BYTE b = 0;
  *this >> b;
  DWORD n = b;
  if (b == 0xFF) {
    WORD w = 0;
    *this >> w;
    n = w;
    if (w == 0xFFFF) *this >> n;
  }
  // Read in pieces, so that a damaged length costs no more memory than the file holds.
  CString result;
  char chunk[4096];
  while (n > 0) {
    const UINT want = std::min<DWORD>(n, sizeof chunk);
    if (Read(chunk, want) != want) Throw(CArchiveException::endOfFile);
    result += CString(chunk, static_cast<int>(want));
    n -= want;
  }
  str = result;
  return *this;
}

// ---- Counts -------------------------------------------------------------------------------

void CArchive::WriteCount(DWORD dwCount) {
  if (dwCount < 0xFFFF) {
    *this << static_cast<WORD>(dwCount);
  } else {
    *this << static_cast<WORD>(0xFFFF) << dwCount;
  }
}

DWORD CArchive::ReadCount() {
  WORD w = 0;
  *this >> w;
  if (w != 0xFFFF) return w;
  DWORD dw = 0;
  *this >> dw;
  return dw;
}

// ---- Classes and objects ------------------------------------------------------------------

void CArchive::StoreClassName(const CRuntimeClass* pClassRef) {
  const WORD nLen = static_cast<WORD>(std::strlen(pClassRef->m_lpszClassName));
  *this << static_cast<WORD>(pClassRef->m_wSchema) << nLen;
  Write(pClassRef->m_lpszClassName, nLen);
}

const CRuntimeClass* CArchive::LoadClassName(UINT* pwSchemaNum) {
  WORD wSchema = 0;
  WORD nLen = 0;
  *this >> wSchema >> nLen;
  if (nLen > nMaxClassName) Throw(CArchiveException::badClass);
  char szClassName[nMaxClassName + 1];
  if (Read(szClassName, nLen) != nLen) Throw(CArchiveException::endOfFile);
  szClassName[nLen] = '\0';
  *pwSchemaNum = wSchema;
  return CRuntimeClass::FromName(szClassName);
}

void CArchive::WriteClass(const CRuntimeClass* pClassRef) {
  if (IsLoading()) Throw(CArchiveException::readOnly);
  const auto it = m_storeMap.find(pClassRef);
  if (it != m_storeMap.end()) {
    const DWORD nClassIndex = it->second;
    if (nClassIndex < wBigObjectTag) {
      *this << static_cast<WORD>(wClassTag | nClassIndex);
    } else {
      *this << wBigObjectTag << (dwBigClassTag | nClassIndex);
    }
    return;
  }
  if (m_nMapCount > nMaxMapCount) Throw(CArchiveException::badIndex);
  *this << wNewClassTag;
  StoreClassName(pClassRef);
  m_storeMap[pClassRef] = m_nMapCount++;
}

void CArchive::WriteObject(const CObject* pOb) {
  if (IsLoading()) Throw(CArchiveException::readOnly);
  if (pOb == nullptr) {
    *this << wNullTag;
    return;
  }
  const auto it = m_storeMap.find(pOb);
  if (it != m_storeMap.end()) {
    const DWORD nObIndex = it->second;
    if (nObIndex < wBigObjectTag) {
      *this << static_cast<WORD>(nObIndex);
    } else {
      *this << wBigObjectTag << nObIndex;
    }
    return;
  }
  const CRuntimeClass* pClassRef = pOb->GetRuntimeClass();
  if (pClassRef->m_wSchema == 0xFFFF) Throw(CArchiveException::badClass);
  WriteClass(pClassRef);
  if (m_nMapCount > nMaxMapCount) Throw(CArchiveException::badIndex);
  m_storeMap[pOb] = m_nMapCount++;
  // Serialize only reads through a non-const object; storing does not change it.
  const_cast<CObject*>(pOb)->Serialize(*this);
}

const CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* pClassRefRequested, UINT* pSchema, DWORD* pObTag) {
  if (IsStoring()) Throw(CArchiveException::writeOnly);
  WORD wTag = 0;
  *this >> wTag;
  DWORD obTag = 0;
  if (wTag == wBigObjectTag) {
    *this >> obTag;
  } else {
    obTag = (static_cast<DWORD>(wTag & wClassTag) << 16) | (wTag & ~wClassTag);
  }
  if (!(obTag & dwBigClassTag)) {
    // Not a class: a reference to an object, or null.
    if (pObTag == nullptr) Throw(CArchiveException::badIndex);
    *pObTag = obTag;
    return nullptr;
  }

  const CRuntimeClass* pClassRef = nullptr;
  if (wTag == wNewClassTag) {
    UINT nSchema = 0;
    pClassRef = LoadClassName(&nSchema);
    if (pClassRef == nullptr) Throw(CArchiveException::badClass);
    if (pClassRef->m_wSchema != nSchema) Throw(CArchiveException::badSchema);
    if (m_loadArray.size() > nMaxMapCount) Throw(CArchiveException::badIndex);
    m_loadArray.push_back({pClassRef, nullptr});
    if (pSchema) *pSchema = nSchema;
  } else {
    const DWORD nClassIndex = obTag & ~dwBigClassTag;
    if (nClassIndex == 0 || nClassIndex >= m_loadArray.size() || m_loadArray[nClassIndex].pClass == nullptr)
      Throw(CArchiveException::badIndex);
    pClassRef = m_loadArray[nClassIndex].pClass;
    if (pSchema) *pSchema = pClassRef->m_wSchema;
  }
  if (pClassRefRequested != nullptr && !pClassRef->IsDerivedFrom(pClassRefRequested))
    Throw(CArchiveException::badClass);
  return pClassRef;
}

BOOL CArchive::IsLoadedSince(DWORD nMark, const CObject* pOb) const {
  for (std::size_t i = nMark; i < m_loadArray.size(); ++i)
    if (m_loadArray[i].pObject == pOb) return TRUE;
  return FALSE;
}

CObject* CArchive::ReadObject(const CRuntimeClass* pClassRefRequested) {
  DWORD obTag = 0;
  const CRuntimeClass* pClassRef = ReadClass(pClassRefRequested, nullptr, &obTag);
  if (pClassRef == nullptr) {
    if (obTag == wNullTag) return nullptr;
    if (obTag >= m_loadArray.size() || m_loadArray[obTag].pObject == nullptr) Throw(CArchiveException::badIndex);
    CObject* pOb = m_loadArray[obTag].pObject;
    if (pClassRefRequested != nullptr && !pOb->IsKindOf(pClassRefRequested)) Throw(CArchiveException::badClass);
    return pOb;
  }

  std::unique_ptr<CObject> pOb(pClassRef->CreateObject());
  if (!pOb) Throw(CArchiveException::badClass);
  if (m_loadArray.size() > nMaxMapCount) Throw(CArchiveException::badIndex);
  // Entered before its data, so that the object's own data may refer back to it.
  const size_t index = m_loadArray.size();
  m_loadArray.push_back({nullptr, pOb.get()});
  // An object whose data fails to load is nobody's yet: it is deleted here. Objects it has
  // already handed out stay with whoever took them.
  try {
    pOb->Serialize(*this);
  } catch (...) {
    m_loadArray[index].pObject = nullptr;
    throw;
  }
  return pOb.release();
}
