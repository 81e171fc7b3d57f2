// What the fuzz targets share: a private directory, standard output sent
// away (the loader prints a line per file), and a simulated board started
// the way a console starts it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace radovl::fuzz {

// A directory of this process's own, created on first use.
const std::string& WorkDir();

// Writes bytes to path; aborts when it cannot (a harness fault, not a finding).
void WriteBytes(const std::string& path, const uint8_t* data, size_t size);

// Standard output to /dev/null, once.
void SilenceStdout();

// A finding: prints what broke and aborts, so that the fuzzer keeps the input.
[[noreturn]] void Broken(const char* what, long long got, long long expected);

inline void Check(bool ok, const char* what, long long got = 0, long long expected = 0) {
    if (!ok) Broken(what, got, expected);
}

}  // namespace radovl::fuzz
