#include "board/loader.h"

#include <cstdio>
#include <memory>
#include <new>

#include "board/access.h"
#include "board/capture.h"
#include "radovl/capture.h"
#include "platform/platform.h"

namespace radovl {
namespace {

// COFF layout as the loader reads it.
constexpr size_t FileHeaderSize = 24;  // the 22-byte file header and two more bytes
constexpr size_t OptionalHeaderOffset = 22;
constexpr size_t OptionalHeaderSize = 28;
constexpr long SectionTableOffset = 50;  // 22 + 28
constexpr size_t SectionHeaderSize = 48;
constexpr size_t ChunkSize = 1024;       // read and written 256 words at a time
constexpr uint32_t ChunkWords = ChunkSize / 4;

constexpr uint16_t CoffVersion2 = 0x00C2;
constexpr uint16_t FlagLittleEndian = 0x0100;
constexpr uint16_t TargetC6000 = 0x0099;

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

struct FileHeader {
    uint16_t version;
    uint16_t sectionCount;
    uint16_t flags;
    uint16_t target;
};

FileHeader ParseFileHeader(const uint8_t* p) {
    return FileHeader{Le16(p + 0), Le16(p + 2), Le16(p + 18), Le16(p + 20)};
}

struct SectionHeader {
    uint32_t physicalAddress;
    int32_t size;
    int32_t rawDataPosition;
};

SectionHeader ParseSectionHeader(const uint8_t* p) {
    return SectionHeader{Le32(p + 8), static_cast<int32_t>(Le32(p + 16)), static_cast<int32_t>(Le32(p + 20))};
}

bool ReadExactly(std::FILE* file, uint8_t* buffer, size_t size) {
    return std::fread(buffer, 1, size, file) == size;
}

bool IsKnownTarget(int32_t target) { return target >= LoadTarget::MainDsp && target < LoadTarget::Count; }

uint32_t TargetRead32(int32_t target, uint32_t address) {
    return target == LoadTarget::MainDsp ? BoardRead32(address) : VideoRead32(LoadTarget::DspIndex(target), address);
}

void TargetWrite32(int32_t target, uint32_t address, uint32_t value) {
    if (target == LoadTarget::MainDsp) {
        BoardWrite32(address, value);
    } else {
        VideoWrite32(LoadTarget::DspIndex(target), address, value);
    }
}

// The last 1-3 bytes of a section: merged into the word already in DSP
// memory so that the bytes beyond the section keep their value.
void WriteTail(int32_t target, uint32_t address, const uint8_t* bytes, uint32_t count) {
    if (!IsKnownTarget(target)) return;
    uint32_t word = TargetRead32(target, address);
    for (uint32_t i = 0; i < count; ++i) {
        const unsigned shift = 8 * i;
        word = (word & ~(uint32_t{0xFF} << shift)) | (static_cast<uint32_t>(bytes[i]) << shift);
    }
    TargetWrite32(target, address, word);
}

void WriteChunk(int32_t target, uint32_t destination, const uint8_t* bytes, uint32_t size) {
    uint32_t words[ChunkWords] = {};
    const uint32_t wordCount = size / 4;
    for (uint32_t i = 0; i < wordCount; ++i) words[i] = Le32(bytes + 4 * i);
    TargetWriteBlock(target, destination, words, static_cast<int32_t>(wordCount));
    const uint32_t tail = size % 4;
    if (tail != 0) WriteTail(target, destination + 4 * wordCount, bytes + 4 * wordCount, tail);
}

struct FileCloser {
    void operator()(std::FILE* file) const {
        if (file != nullptr && std::fclose(file) != 0) platform::Print("The file 'dsp' was not closed\n");
    }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

int32_t LoadDspProgram(int32_t target, const char* path) {
    std::unique_ptr<uint8_t[]> fileHeader(new (std::nothrow) uint8_t[FileHeaderSize]);
    if (!fileHeader) return LoadStatus::CannotOpen;
    std::unique_ptr<uint8_t[]> optionalHeader(new (std::nothrow) uint8_t[OptionalHeaderSize]);
    if (!optionalHeader) return LoadStatus::CannotOpen;
    std::unique_ptr<uint8_t[]> data(new (std::nothrow) uint8_t[ChunkSize]);
    if (!data) return LoadStatus::CannotOpen;

    File file(std::fopen(path, "rb"));
    if (capture::recording) capture::FileOpened(path, static_cast<bool>(file));
    if (!file) {
        platform::Print("The file %s was not opened\n", path);
        return LoadStatus::CannotOpen;
    }
    platform::Print("The file %s was opened\n", path);

    // A file too short for its header is as unusable as one of the wrong version.
    if (!ReadExactly(file.get(), fileHeader.get(), FileHeaderSize)) {
        platform::Print("The file %s is err\n", path);
        return LoadStatus::BadVersion;
    }
    const FileHeader header = ParseFileHeader(fileHeader.get());
    if (header.version != CoffVersion2) {
        platform::Print("The file %s is err\n", path);
        return LoadStatus::BadVersion;
    }
    if ((header.flags & FlagLittleEndian) == 0) {
        platform::Print("please use little edian mode\n");
        return LoadStatus::BigEndian;
    }
    if (header.target != TargetC6000) {
        platform::Print("please use TIC6x out file\n");
        return LoadStatus::WrongTarget;
    }

    // The optional header is read but not used.
    std::fseek(file.get(), OptionalHeaderOffset, SEEK_SET);
    ReadExactly(file.get(), optionalHeader.get(), OptionalHeaderSize);

    // Only the current section header is needed, so any number of sections
    // is loaded without a fixed table.
    for (uint32_t i = 0; i < header.sectionCount; ++i) {
        uint8_t raw[SectionHeaderSize];
        std::fseek(file.get(), SectionTableOffset + static_cast<long>(SectionHeaderSize * i), SEEK_SET);
        if (!ReadExactly(file.get(), raw, sizeof raw)) {
            platform::Print("read sectionheader error\n");
            return LoadStatus::BadSectionHeader;
        }
        const SectionHeader section = ParseSectionHeader(raw);
        if (section.rawDataPosition <= 0) continue;  // no initialised data

        uint32_t remaining = section.size > 0 ? static_cast<uint32_t>(section.size) : 0;
        uint32_t destination = section.physicalAddress;
        std::fseek(file.get(), section.rawDataPosition, SEEK_SET);
        while (remaining > 0) {
            const uint32_t size = remaining >= ChunkSize ? static_cast<uint32_t>(ChunkSize) : remaining;
            if (!ReadExactly(file.get(), data.get(), size)) {
                platform::Print("read data error\n");
                return LoadStatus::BadSectionData;
            }
            WriteChunk(target, destination, data.get(), size);
            remaining -= size;
            destination += size;
        }
    }
    return LoadStatus::Done;
}

}  // namespace radovl
