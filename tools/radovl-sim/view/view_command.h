// view: a capture (or a scenario run with one) shown in the browser: one
// local page with both outputs drawn at any call, the calls, each call's
// decoded requests and the named registers.
#pragma once

#include <ostream>

#include "cli/cli.h"

namespace radovl::tool {

extern const char* const ViewDetails;
int ViewCommand(const ParsedArgs& args, std::ostream& out, std::ostream& err);

// The page: HTML with its script and style, nothing fetched from elsewhere.
extern const char* const ViewPage;

}  // namespace radovl::tool
