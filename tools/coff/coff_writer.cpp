#include "coff/coff_writer.h"

#include <cstdio>
#include <filesystem>

namespace radovl::coff {
namespace {

constexpr size_t FileHeaderBytes = 22;
constexpr size_t OptionalHeaderBytes = 28;
constexpr size_t SectionHeaderBytes = 48;
constexpr uint16_t OptionalMagic = 0x0108;

void Put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

}  // namespace

std::vector<uint8_t> WordBytes(const std::vector<uint32_t>& words) {
    std::vector<uint8_t> bytes;
    for (uint32_t w : words) Put32(bytes, w);
    return bytes;
}

std::vector<uint8_t> BuildProgram(const std::vector<Section>& sections, const FileOptions& options) {
    const uint32_t declared =
        options.declaredSections < 0 ? static_cast<uint32_t>(sections.size()) : static_cast<uint32_t>(options.declaredSections);
    std::vector<uint8_t> out;
    // File header.
    Put16(out, options.version);
    Put16(out, declared);
    Put32(out, 0);  // time stamp
    Put32(out, 0);  // symbol table position
    Put32(out, 0);  // symbol count
    Put16(out, OptionalHeaderBytes);
    Put16(out, options.flags);
    Put16(out, options.target);
    // Optional header.
    Put16(out, OptionalMagic);
    Put16(out, 0);  // version stamp
    Put32(out, 0);  // text size
    Put32(out, 0);  // data size
    Put32(out, 0);  // bss size
    Put32(out, options.entry);
    Put32(out, 0);  // text start
    Put32(out, 0);  // data start

    size_t raw = FileHeaderBytes + OptionalHeaderBytes + SectionHeaderBytes * sections.size();
    for (const Section& s : sections) {
        char name[8] = {};
        for (size_t i = 0; i < s.name.size() && i < sizeof name; ++i) name[i] = s.name[i];
        out.insert(out.end(), name, name + sizeof name);
        Put32(out, s.address);
        Put32(out, s.address);
        Put32(out, static_cast<uint32_t>(s.data.size()));
        Put32(out, s.hasRawData ? static_cast<uint32_t>(raw) : 0);
        Put32(out, 0);  // relocation position
        Put32(out, 0);  // line-number position
        Put32(out, 0);  // relocation count
        Put32(out, 0);  // line-number count
        Put32(out, s.flags);
        Put16(out, 0);  // reserved
        Put16(out, 0);  // memory page
        if (s.hasRawData) raw += s.data.size();
    }
    for (const Section& s : sections) {
        if (s.hasRawData) out.insert(out.end(), s.data.begin(), s.data.end());
    }
    return out;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::error_code error;
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent, error);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace radovl::coff
