#include "scenario/demo_programs.h"

#include "coff/coff_writer.h"
#include "hw/registers.h"

namespace radovl::tool {
namespace {

// Where the display program keeps things in a video DSP's space.
constexpr uint32_t DistanceVariable = 0x80000400;
constexpr uint32_t DisplayCode = 0x80010000;
// Fallback programs: internal memory of each DSP.
constexpr uint32_t FallbackCode = 0x00000000;
constexpr uint32_t FallbackCodeWords = 64;

// Code words: a recognisable pattern, not real C64x instructions.
std::vector<uint32_t> CodeWords(uint32_t count, uint32_t seed) {
    std::vector<uint32_t> words(count);
    uint32_t x = seed;
    for (uint32_t& w : words) {
        x = x * 1664525u + 1013904223u;
        w = x;
    }
    return words;
}

coff::Section MakeSection(const char* name, uint32_t address, const std::vector<uint32_t>& words) {
    coff::Section s;
    s.name = name;
    s.address = address;
    s.data = coff::WordBytes(words);
    return s;
}

std::vector<coff::Section> DisplayProgram(uint32_t codeBytes) {
    const uint32_t codeWords = (codeBytes + 3) / 4;
    coff::Section pointer = MakeSection(".distptr", DistancePointer::Address, {DistanceVariable});
    pointer.flags = 0x40;  // data
    coff::Section variable = MakeSection(".far", DistanceVariable, {0});
    variable.flags = 0x40;
    return {pointer, variable, MakeSection(".text", DisplayCode, CodeWords(codeWords, 0xD15A))};
}

uint32_t LoadedBytes(const std::vector<coff::Section>& sections) {
    uint32_t total = 0;
    for (const coff::Section& s : sections) total += static_cast<uint32_t>(s.data.size());
    return total;
}

}  // namespace

std::string ProgramRelativePath(DspProgramFile program) {
    return std::string("out/") + program.folder + "/" + program.file;
}

std::vector<ProgramFile> WriteDemoPrograms(const std::string& directory, uint32_t codeBytes, std::string* error) {
    struct Planned {
        std::string relative;
        std::vector<coff::Section> sections;
    };
    const std::vector<Planned> planned = {
        {ProgramRelativePath(DspPrograms::Display), DisplayProgram(codeBytes)},
        {ProgramRelativePath(DspPrograms::FallbackVideo0),
         {MakeSection(".text", FallbackCode, CodeWords(FallbackCodeWords, 0xB))}},
        {ProgramRelativePath(DspPrograms::FallbackVideo1),
         {MakeSection(".text", FallbackCode, CodeWords(FallbackCodeWords, 0xC))}},
        {ProgramRelativePath(DspPrograms::FallbackMain),
         {MakeSection(".text", FallbackCode, CodeWords(FallbackCodeWords, 0x1C))}},
    };
    std::vector<ProgramFile> written;
    for (const Planned& p : planned) {
        const std::string path = directory + "/" + p.relative;
        if (!coff::WriteFile(path, coff::BuildProgram(p.sections))) {
            if (error != nullptr) *error = "cannot write " + path;
            return {};
        }
        written.push_back({path, LoadedBytes(p.sections)});
    }
    return written;
}

}  // namespace radovl::tool
