#include "fuzz_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

namespace radovl::fuzz {

const std::string& WorkDir() {
    static const std::string dir = [] {
        // Every input is written to a file: memory-backed storage where there is some.
        std::error_code error;
        const std::filesystem::path base =
            std::filesystem::is_directory("/dev/shm", error) ? "/dev/shm" : std::filesystem::temp_directory_path();
        std::string pattern = (base / "radovl-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) Broken("cannot create a work directory", 0, 0);
        return pattern;
    }();
    static const bool removedAtExit = [] {
        std::atexit([] {
            std::error_code error;
            std::filesystem::remove_all(WorkDir(), error);
        });
        return true;
    }();
    (void)removedAtExit;
    return dir;
}

void WriteBytes(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) Broken("cannot write the input file", 0, 0);
    if (size > 0 && std::fwrite(data, 1, size, file) != size) Broken("cannot write the input file", 0, 0);
    std::fclose(file);
}

void SilenceStdout() {
    static const bool done = [] {
        std::fflush(stdout);
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, STDOUT_FILENO);
            close(null);
        }
        return true;
    }();
    (void)done;
}

void Broken(const char* what, long long got, long long expected) {
    std::fprintf(stderr, "FINDING: %s (got %lld, expected %lld)\n", what, got, expected);
    std::abort();
}

}  // namespace radovl::fuzz
