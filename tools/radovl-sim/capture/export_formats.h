// decode --format: a capture written for other viewers. chrome-trace
// (trace-event JSON, one slice a call, for timeline viewers), vcd (a
// value-change dump of the named registers, for waveform viewers) and
// jsonl (one JSON object a record, for scripts).
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace radovl::tool {

// Whether decode knows the format: text, calls and those above.
bool KnownDecodeFormat(const std::string& format);
// Writes the capture at path in one of the formats above; the exit status
// as decode's (ExitFailed for a file that stops before its end).
int ExportCapture(const std::string& format, const std::string& path, std::ostream& out, std::ostream& err);

// A call's scenario line split into the export's name and its arguments.
std::vector<std::string> CallWords(const std::string& callText);

}  // namespace radovl::tool
