// Fuzz target: any bytes as a radovl-sim scenario.
//
// The parser must neither crash nor hang, and its result must hold
// together: every error names the file and a line of the input, the steps
// come in line order, and a call carries as many arguments as its export
// takes. Nothing is run.
#include <algorithm>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "scenario/scenario.h"

using radovl::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const radovl::tool::ParseResult r = radovl::tool::ParseScenarioText(bytes, "f");
    // Lines as the parser counts them, with UTF-16 at most one per two bytes.
    const long long lines = static_cast<long long>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
    for (const std::string& e : r.errors) Check(e.rfind("f:", 0) == 0, "error without the file name");
    int previous = 0;
    Check(r.errors.size() == std::min(r.errorCount, radovl::tool::MaxErrorsKept), "errors kept differ from the count",
          static_cast<long long>(r.errors.size()), static_cast<long long>(r.errorCount));
    for (const radovl::tool::Step& step : radovl::tool::AllSteps(r.scenario)) {
        Check(step.line > previous, "steps out of line order", step.line, previous);
        Check(step.line <= lines, "step beyond the input's lines", step.line, lines);
        previous = step.line;
        if (step.kind == radovl::tool::StepKind::Call) {
            Check(step.function != nullptr, "call without an export");
            Check(step.args.size() == step.function->params.size(), "argument count differs from the export's",
                  static_cast<long long>(step.args.size()), static_cast<long long>(step.function->params.size()));
        }
    }
    return 0;
}
