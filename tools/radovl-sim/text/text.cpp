#include "text/text.h"

#include <cmath>
#include <cstdio>

#include "hw/registers.h"

namespace radovl::tool {

std::string Hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

std::string HexByte(uint32_t value) { return Hex(value & 0xFF, 2); }

std::string RgbText(uint32_t rgb) {
    char text[16];
    std::snprintf(text, sizeof text, "#%06X", rgb & Rgb::All);
    return text;
}

std::string Grouped(uint64_t n) {
    std::string digits = std::to_string(n);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(static_cast<size_t>(i), ",");
    return digits;
}

std::string FixedPoint(double v, int decimals) {
    if (!std::isfinite(v)) v = 0;
    unsigned long long unit = 1;
    for (int i = 0; i < decimals; ++i) unit *= 10;
    const long long scaled = std::llround(v * static_cast<double>(unit));
    const unsigned long long magnitude =
        scaled < 0 ? 0ULL - static_cast<unsigned long long>(scaled) : static_cast<unsigned long long>(scaled);
    std::string out = (scaled < 0 ? "-" : "") + std::to_string(magnitude / unit);
    if (decimals > 0) {
        const std::string fraction = std::to_string(magnitude % unit);
        out += "." + std::string(static_cast<size_t>(decimals) - fraction.size(), '0') + fraction;
    }
    return out;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::optional<int64_t> ParseInteger(const std::string& text) {
    if (text.empty()) return std::nullopt;
    size_t i = 0;
    bool negative = false;
    if (text[0] == '-' || text[0] == '+') {
        negative = text[0] == '-';
        i = 1;
    }
    int base = 10;
    if (text.size() > i + 1 && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size()) return std::nullopt;
    uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return std::nullopt;
        magnitude = magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
        if (magnitude > (1ULL << 40)) return std::nullopt;
    }
    return negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
}

}  // namespace radovl::tool
