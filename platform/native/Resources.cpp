#include "Resources.h"

#include <list>
#include <string>
#include <utility>

namespace {

struct Resource {
  bool namedType;
  std::string typeName;
  WORD typeId;
  WORD id;
  std::vector<BYTE> bytes;
};

std::list<Resource>& Table() {
  static std::list<Resource> table;  // a list: entries never move
  return table;
}

bool TypeMatches(const Resource& r, LPCSTR type) {
  if (IS_INTRESOURCE(type)) return !r.namedType && r.typeId == static_cast<WORD>(reinterpret_cast<ULONG_PTR>(type));
  return r.namedType && lstrcmpiA(r.typeName.c_str(), type) == 0;
}

const Resource* FromHandle(HRSRC resource) {
  for (const Resource& r : Table())
    if (reinterpret_cast<HRSRC>(const_cast<Resource*>(&r)) == resource) return &r;
  return nullptr;
}

}  // namespace

namespace native {

void AddResource(LPCSTR type, WORD id, std::vector<BYTE> bytes) {
  const bool named = !IS_INTRESOURCE(type);
  Table().push_front(Resource{named, named ? std::string(type) : std::string(),
                              named ? WORD(0) : static_cast<WORD>(reinterpret_cast<ULONG_PTR>(type)), id,
                              std::move(bytes)});
}

}  // namespace native

HMODULE GetModuleHandleA(LPCSTR moduleName) {
  // The one module there is: the program itself.
  static int module;
  return moduleName == nullptr ? reinterpret_cast<HMODULE>(&module) : nullptr;
}

// Resources are numbered here; a name that is a string finds nothing.
HRSRC FindResourceA(HMODULE, LPCSTR name, LPCSTR type) {
  if (type == nullptr || !IS_INTRESOURCE(name)) return nullptr;
  const auto id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name));
  for (Resource& r : Table())
    if (r.id == id && TypeMatches(r, type)) return reinterpret_cast<HRSRC>(&r);
  return nullptr;
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) {
  const Resource* r = FromHandle(resource);
  return r ? const_cast<BYTE*>(r->bytes.data()) : nullptr;
}

LPVOID LockResource(HGLOBAL data) { return data; }

DWORD SizeofResource(HMODULE, HRSRC resource) {
  const Resource* r = FromHandle(resource);
  return r ? static_cast<DWORD>(r->bytes.size()) : 0;
}
