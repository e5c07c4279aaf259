// Fuzzes the ini reader behind option.ini: the text is parsed and then
// edited by a few operations the bytes pick. Whatever the text, a value
// written must read back, and the written text must parse to the same lines.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/rtl/ini.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const std::string ops(reinterpret_cast<const char*>(data), 2);
  const std::string bytes(reinterpret_cast<const char*>(data) + 2, size - 2);
  rtl::detail::IniText text;
  text.Parse(bytes);
  const auto sections = text.Sections();
  const std::string section =
      sections.empty() ? std::string("Options") : sections[size_t(ops[0] & 0x7F) % sections.size()];
  const auto keys = text.Keys(section);
  const std::string key = keys.empty() ? std::string("threads") : keys[size_t(ops[1] & 0x7F) % keys.size()];
  std::string value;
  text.Read(section, key, value);
  switch (ops[0] & 3) {
    case 0:
      text.Write(section, key, "5");
      if (!text.Read(section, key, value) || value != "5") std::abort();
      break;
    case 1:
      text.Write(section, "new key", "v");
      if (!text.Read(section, "NEW KEY", value) || value != "v") std::abort();
      break;
    case 2:
      text.DeleteKey(section, key);
      break;
    case 3:
      text.EraseSection(section);
      if (text.Read(section, key, value)) std::abort();
      break;
  }
  rtl::detail::IniText back;
  back.Parse(text.Serialize());
  if (back.Lines() != text.Lines()) std::abort();
  return 0;
}
