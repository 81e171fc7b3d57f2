// The fifty exports of radovl.h by name, with their parameters, callable
// with arguments parsed from a scenario.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace radovl::tool {

enum class ParamKind { Int, Float };

// One argument as written: an integer (decimal or hex, any value that fits
// a 32-bit slot) or a floating-point number.
struct Argument {
    ParamKind kind = ParamKind::Int;
    int64_t integer = 0;
    double real = 0.0;
    std::string text;  // as written, for printing
};

struct ExportInfo {
    std::string name;
    std::vector<std::string> params;     // parameter names
    std::vector<ParamKind> kinds;        // parameter kinds
    std::function<int32_t(const std::vector<Argument>&)> call;
};

const std::vector<ExportInfo>& Exports();
// nullptr when no export has this name.
const ExportInfo* FindExport(const std::string& name);
// The export names closest to a misspelt one, for an error message.
std::string SuggestExport(const std::string& name);

}  // namespace radovl::tool
