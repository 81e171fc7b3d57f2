// Text helpers every room of the tool uses: numbers as the tool writes and
// reads them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace radovl::tool {

// "0x00C0FFEE"; digits: how many hex digits at least.
std::string Hex(uint32_t value, int digits = 8);
std::string HexByte(uint32_t value);  // "0x5A"
std::string RgbText(uint32_t rgb);    // "#RRGGBB"

// n with thousands separators: 3,146,112.
std::string Grouped(uint64_t n);

// v rounded to that many decimals, written with exactly that many, the same
// on every platform and in every locale: FixedPoint(-3.456, 2) "-3.46".
std::string FixedPoint(double v, int decimals);

bool EndsWith(const std::string& text, const std::string& suffix);

// A whole number as the tool reads one, on the command line and in a
// scenario: decimal or 0x hex, an optional sign; nullopt for anything else
// or for a magnitude beyond 2^40 (far beyond any 32-bit value).
std::optional<int64_t> ParseInteger(const std::string& text);

}  // namespace radovl::tool
