// Builds without an HTTP server library (the Windows build): view says so.
#include "view/view_command.h"

namespace radovl::tool {

const char* const ViewDetails = "This build has no web server: view is not available in it.\n";

int ViewCommand(const ParsedArgs&, std::ostream&, std::ostream& err) {
    err << "radovl-sim view: this build has no web server (it was built without cpp-httplib); use decode "
           "--format or replay --render instead\n";
    return ExitFailed;
}

}  // namespace radovl::tool
