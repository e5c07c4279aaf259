#include "platform/rtl/resources.h"

#include <mutex>

#include "platform/rtl/strings.h"

namespace rtl {
namespace {

struct Entry {
  std::string name;
  std::span<const std::uint8_t> bytes;
};

// Function-local so that registration from other translation units' static
// initialisers works whatever their order.
std::vector<Entry>& Table() {
  static std::vector<Entry> table;
  return table;
}

std::mutex& TableMutex() {
  static std::mutex m;
  return m;
}

}  // namespace

void RegisterResource(const char* name, const std::uint8_t* data, std::size_t size) {
  std::lock_guard lock(TableMutex());
  std::span<const std::uint8_t> bytes(data, data ? size : 0);
  for (Entry& e : Table()) {
    if (SameText(e.name, name)) {
      e.bytes = bytes;
      return;
    }
  }
  Table().push_back(Entry{name, bytes});
}

std::span<const std::uint8_t> Resource(std::string_view name) {
  std::lock_guard lock(TableMutex());
  for (const Entry& e : Table())
    if (SameText(e.name, name)) return e.bytes;
  return {};
}

std::vector<std::string> ResourceNames() {
  std::lock_guard lock(TableMutex());
  std::vector<std::string> out;
  for (const Entry& e : Table()) out.push_back(e.name);
  return out;
}

}  // namespace rtl
