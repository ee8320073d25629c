#include "CMessageTable.h"

const CMessageEntry* CMessageTable::Find(UINT nMessage, UINT nCode, UINT nID) const {
  for (const CMessageTable* pTable = this; pTable != nullptr; pTable = pTable->m_pBase)
    for (const CMessageEntry& entry : pTable->m_entries)
      if (entry.nMessage == nMessage && entry.nCode == nCode && entry.nID == nID) return &entry;
  return nullptr;
}
