// The live objects of one kind behind native handles. A handle is an object's address, but only
// an address held here is taken: a stale or foreign handle fails, as on Windows, instead of
// being followed.
#pragma once

#include <memory>
#include <unordered_map>

namespace native {

template <class T>
class HandleTable {
 public:
  T* Add(std::unique_ptr<T> object) {
    T* p = object.get();
    if (p != nullptr) m_objects.emplace(static_cast<const void*>(p), std::move(object));
    return p;
  }

  T* Find(const void* handle) const {
    const auto it = m_objects.find(handle);
    return it == m_objects.end() ? nullptr : it->second.get();
  }

  std::unique_ptr<T> Remove(const void* handle) {
    const auto it = m_objects.find(handle);
    if (it == m_objects.end()) return nullptr;
    std::unique_ptr<T> object = std::move(it->second);
    m_objects.erase(it);
    return object;
  }

 private:
  std::unordered_map<const void*, std::unique_ptr<T>> m_objects;
};

}  // namespace native
