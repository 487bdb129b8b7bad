#pragma once

#include <cstddef>
#include <cstdint>

// Writes the frame text of a leading part of the n bytes, three characters per
// byte, with the widest vector unit the processor offers, and returns how many
// bytes it wrote (0 where no vector unit is used; the caller writes the rest).
// out must hold 3 * n characters.
[[nodiscard]] std::size_t WriteHexTextWide(const uint8_t* data, std::size_t n, char* out);
