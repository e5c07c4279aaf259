// Files compiled into the program (skins, icons, stock bitmaps). A build
// step (vc_embed) generates code that registers each file's bytes at start-up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rtl {

// Called by the generated code before main; the bytes must stay alive for the
// life of the program. Registering a name again replaces the earlier bytes.
void RegisterResource(const char* name, const std::uint8_t* data, std::size_t size);

// The bytes registered under name (names compare case-insensitively);
// an empty span when there is none.
std::span<const std::uint8_t> Resource(std::string_view name);

// Every registered name, in registration order.
std::vector<std::string> ResourceNames();

}  // namespace rtl
