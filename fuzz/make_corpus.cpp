// Writes the seed corpus of both fuzz targets: valid files and one file of
// each broken kind. Run once when the set changes; its output is committed
// under fuzz/corpus/ (inputs that once broke a target are added there by
// hand, named after what they broke).
//
//   make_corpus DIR   writes DIR/loader/* and DIR/dismode/*
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "coff/coff_writer.h"

using radovl::coff::BuildProgram;
using radovl::coff::FileOptions;
using radovl::coff::Section;
using radovl::coff::WordBytes;
using Bytes = std::vector<uint8_t>;

namespace {

Section Make(const char* name, uint32_t address, Bytes data, bool raw = true) {
    Section s;
    s.name = name;
    s.address = address;
    s.data = std::move(data);
    s.hasRawData = raw;
    return s;
}

Bytes Ramp(size_t n) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(i * 7 + 1);
    return b;
}

void Put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}

// Field offsets of section header i.
size_t SizeField(size_t i) { return 50 + 48 * i + 16; }
size_t RawField(size_t i) { return 50 + 48 * i + 20; }

void Write(const std::string& path, const Bytes& bytes) {
    if (!radovl::coff::WriteFile(path, bytes)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

void Loader(const std::string& dir) {
    const Section pointer = Make(".distptr", 0x80000000, WordBytes({0x80001000}));
    const Section text = Make(".text", 0x80010000, WordBytes({0xA120, 0xA121, 0xA122, 0xA123}));
    Write(dir + "/valid_display_program.out", BuildProgram({pointer, text}));
    Write(dir + "/valid_no_sections.out", BuildProgram({}));
    Write(dir + "/valid_uninitialised_section.out",
          BuildProgram({Make(".bss", 0x80020000, Bytes(64), false), text}));
    Write(dir + "/valid_1030_bytes.out", BuildProgram({Make(".data", 0x80030000, Ramp(1030))}));
    Write(dir + "/valid_3_bytes.out", BuildProgram({Make(".const", 0x80040000, Ramp(3))}));
    Write(dir + "/valid_two_chunks_and_a_tail.out", BuildProgram({Make(".text", 0x80050000, Ramp(2 * 1024 + 6))}));
    Write(dir + "/valid_page_crossing.out", BuildProgram({Make(".text", 0x003FFFFC, WordBytes({1, 2}))}));
    Write(dir + "/valid_address_wraps.out", BuildProgram({Make(".text", 0xFFFFFFFE, Ramp(8))}));
    Write(dir + "/valid_overlapping_sections.out",
          BuildProgram({Make(".a", 0x80060000, Ramp(16)), Make(".b", 0x80060006, Ramp(5))}));

    FileOptions big;
    big.flags = 0x0000;
    Write(dir + "/bad_big_endian.out", BuildProgram({text}, big));
    FileOptions version;
    version.version = 0x00C1;
    Write(dir + "/bad_version.out", BuildProgram({text}, version));
    FileOptions target;
    target.target = 0x0098;
    Write(dir + "/bad_target.out", BuildProgram({text}, target));
    Write(dir + "/bad_empty.out", Bytes{});
    Bytes shortHeader = BuildProgram({text});
    shortHeader.resize(10);
    Write(dir + "/bad_short_header.out", shortHeader);
    Bytes header23 = BuildProgram({text});
    header23.resize(23);
    Write(dir + "/bad_header_one_byte_short.out", header23);

    FileOptions more;
    more.declaredSections = 3;
    Bytes truncatedHeaders = BuildProgram({text}, more);
    truncatedHeaders.resize(50 + 48 + 20);
    Write(dir + "/bad_truncated_section_header.out", truncatedHeaders);
    Bytes truncatedData = BuildProgram({Make(".text", 0x80070000, Ramp(3000))});
    truncatedData.resize(truncatedData.size() - 1000);
    Write(dir + "/bad_truncated_section_data.out", truncatedData);
    Bytes beyond = BuildProgram({text});
    Put32(beyond, RawField(0), 0x7FFFFFF0);
    Write(dir + "/bad_raw_data_beyond_end.out", beyond);
    Bytes negativeSize = BuildProgram({text});
    Put32(negativeSize, SizeField(0), 0xFFFFFF00);
    Write(dir + "/odd_negative_size.out", negativeSize);
    Bytes negativeRaw = BuildProgram({text});
    Put32(negativeRaw, RawField(0), 0x80000000);
    Write(dir + "/odd_negative_raw_position.out", negativeRaw);
    Bytes hugeSize = BuildProgram({text});
    Put32(hugeSize, SizeField(0), 0x7FFFFFFF);
    Write(dir + "/bad_huge_size.out", hugeSize);

    std::vector<Section> many;
    for (uint32_t i = 0; i < 200; ++i) many.push_back(Make(".s", 0x80100000 + 8 * i, WordBytes({i, ~i})));
    Write(dir + "/valid_200_sections.out", BuildProgram(many));
    FileOptions maxCount;
    maxCount.declaredSections = 0xFFFF;
    Write(dir + "/bad_65535_sections_declared.out", BuildProgram({text}, maxCount));
}

void Text(const std::string& path, const std::string& content) {
    Write(path, Bytes(content.begin(), content.end()));
}

void DisMode(const std::string& dir) {
    const std::pair<const char*, std::string> files[] = {
        {"mode0", "DisMode=0"},
        {"mode0_line_end", "DisMode=0\n"},
        {"mode1_blanks_crlf", "DisMode = 1\r\n"},
        {"mode2", "DisMode 2"},
        {"end_stops_reading", "DisMode=1\n#END\nDisMode=0"},
        {"last_key_wins", "DisMode=0\nDisMode=1"},
        {"leading_blank", " DisMode=0"},
        {"lower_case", "dismode=0"},
        {"key_with_suffix", "DisModeX=0"},
        {"no_integer", "DisMode= x"},
        {"blank_after_value", "DisMode=1 ;note"},
        {"no_blank_no_equals", "DisMode1"},
        {"tab_only", "DisMode\t1"},
        {"empty", ""},
        {"huge_value", "DisMode=99999999999999999999"},
        {"huge_value_ending_in_1", "DisMode=4294967297"},
        {"minus_one", "DisMode=-1"},
        {"plus_one", "DisMode=+1"},
        {"leading_zeros", "DisMode=0001"},
        {"cr_only_lines", "\r\r\rDisMode=0\r"},
        {"end_first", "#END\nDisMode=0"},
        {"end_without_line_end", "DisMode=0\n#END"},
        {"sign_only", "DisMode=-"},
        {"vertical_tab_before_value", "DisMode=\v1"},
        {"key_only", "DisMode"},
    };
    for (const auto& [name, content] : files) Text(dir + "/" + name + ".inf", content);

    // A zero byte inside a key line.
    Text(dir + "/zero_byte_in_line.inf", std::string("DisMode=\0 1\nDisMode =0", 21));
    // A 300-byte line whose second 256-byte piece is a key line.
    std::string longLine(256, 'x');
    longLine += "DisMode=0";
    longLine += std::string(300 - longLine.size(), 'y');
    Text(dir + "/key_in_second_piece.inf", longLine + "\n");
    // Exactly 256 bytes, then a key.
    Text(dir + "/line_of_256_then_key.inf", std::string(255, 'z') + "\nDisMode=0");
    Text(dir + "/blank_value_at_256.inf", "DisMode" + std::string(248, '=') + " 1");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_corpus DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    std::filesystem::create_directories(dir + "/loader");
    std::filesystem::create_directories(dir + "/dismode");
    Loader(dir + "/loader");
    DisMode(dir + "/dismode");
    return 0;
}
