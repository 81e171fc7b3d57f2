// Files in the tool's tests: read whole, written whole.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

namespace radovl::tool::test {

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace radovl::tool::test
