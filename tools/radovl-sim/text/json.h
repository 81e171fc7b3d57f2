// JSON text as the tool writes it: strings quoted and escaped.
#pragma once

#include <string>

namespace radovl::tool {

// text as a JSON string, quotes included; bytes that are not printable
// ASCII are written as \u00XX, so any byte string gives valid JSON.
std::string JsonString(const std::string& text);

}  // namespace radovl::tool
