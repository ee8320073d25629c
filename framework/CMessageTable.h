// A window class's message table: its own entries, then its base class's table.
#pragma once

#include "CMessageEntry.h"

#include <initializer_list>
#include <vector>

class CMessageTable {
 public:
  CMessageTable(const CMessageTable* pBase, std::initializer_list<CMessageEntry> entries)
      : m_pBase(pBase), m_entries(entries) {}

  // The first entry for the message in this table or a base table; null when none handles it.
  const CMessageEntry* Find(UINT nMessage, UINT nCode, UINT nID) const;

 private:
  const CMessageTable* m_pBase;
  std::vector<CMessageEntry> m_entries;
};
