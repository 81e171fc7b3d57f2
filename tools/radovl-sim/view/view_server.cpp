// view on Linux: a small HTTP server on the loopback address (cpp-httplib)
// serving the page and the JSON, SVG and event stream it asks for.
#include <httplib.h>

#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <thread>

#include "capture/capture_file.h"
#include "capture/commands.h"
#include "capture/export_formats.h"
#include "text/json.h"
#include "text/text.h"
#include "view/capture_index.h"
#include "view/view_command.h"

extern char** environ;

namespace radovl::tool {

const char* const ViewDetails =
    "Serves one page on 127.0.0.1 (first line of the output: its address) showing the\n"
    "capture: both outputs drawn as they stand after the selected call, the calls with a\n"
    "search box, the call's requests decoded, the named registers it changed, and every\n"
    "named register with the call that last wrote it. Arrow keys: previous and next call;\n"
    "Home and End: the first and the last. A SCENARIO is run first with a capture into\n"
    "its work directory (--workdir, default a new directory under the temporary one).\n"
    "--follow: the page follows calls appended to the capture while a console (or the\n"
    "scenario) still writes it. Ctrl-C stops the server.\n";

namespace {

constexpr int MaxEventStreams = 8;        // open --follow pages at once; more get 503
constexpr size_t MaxDecodedLines = 4000;  // a call's decoded accesses shown; then its requests counted

struct Viewer {
    std::string path;
    bool follow = false;
    std::mutex board;  // the simulated board, one a process: indexing and drawing take turns
    std::mutex mutex;  // which index, its generation and the pictures drawn for it
    std::shared_ptr<CaptureIndex> index;  // its contents read under its ReadLock()
    uint64_t generation = 0;  // new index, or calls added to it
    size_t total = 0;         // calls of this generation, and its note
    std::string note;
    std::condition_variable changed;
    std::map<uint32_t, std::string> svgs;  // of this generation
    std::string tempDir;
    std::atomic<bool> stopping{false};
    std::atomic<int> streams{0};
    pid_t scenario = 0;  // a scenario still running (--follow), 0 for none
};

std::shared_ptr<CaptureIndex> Current(Viewer& v) {
    const std::lock_guard<std::mutex> hold(v.mutex);
    return v.index;
}

// A new index, or calls added to the current one: the pages are told.
void Publish(Viewer& v, std::shared_ptr<CaptureIndex> index) {
    size_t total = 0;
    std::string note;
    {
        const auto read = index->ReadLock();
        total = index->calls().size();
        note = index->note();
    }
    const std::lock_guard<std::mutex> hold(v.mutex);
    v.index = std::move(index);
    v.total = total;
    v.note = std::move(note);
    v.svgs.clear();
    ++v.generation;
    v.changed.notify_all();
}

bool Reindex(Viewer& v, std::string* error) {
    auto index = std::make_shared<CaptureIndex>();
    const std::lock_guard<std::mutex> board(v.board);
    if (!index->Build(v.path, error)) return false;
    Publish(v, std::move(index));
    return true;
}

// What the capture gained since it was indexed, read on from its last
// whole call; from the start again when it was cut or written anew.
bool IndexMore(Viewer& v, std::string* error) {
    std::shared_ptr<CaptureIndex> index = Current(v);
    {
        const std::lock_guard<std::mutex> board(v.board);
        if (!index->Update()) index.reset();
    }
    if (!index) return Reindex(v, error);
    Publish(v, std::move(index));
    return true;
}

std::string RegisterLabel(const TrackedRegister& r) {
    return "board" + std::to_string(r.board) + " " + r.unit + " " + r.reg.name;
}

std::string CallJson(const IndexedCall& c) {
    const std::vector<std::string> words = CallWords(c.text);
    std::string args = "[";
    for (size_t i = 1; i < words.size(); ++i) args += (i > 1 ? "," : "") + JsonString(words[i]);
    return "{\"n\":" + std::to_string(c.number) + ",\"name\":" + JsonString(words.empty() ? "" : words[0]) +
           ",\"args\":" + args + "],\"status\":" + (c.returned ? std::to_string(c.status) : "null") +
           ",\"requests\":" + std::to_string(c.requests) + ",\"board\":" + std::to_string(c.board) + "}";
}

std::string CallsJson(const CaptureIndex& index, size_t from) {
    std::string out = "{\"total\":" +
                      std::to_string(index.calls().size()) + ",\"note\":" + JsonString(index.note()) + ",\"calls\":[";
    for (size_t i = from; i < index.calls().size(); ++i) out += (i > from ? ",\n" : "\n") + CallJson(index.calls()[i]);
    return out + "]}";
}

// The call's requests decoded as decode decodes them: read from the file
// from the call's record, the decoder fresh at the call's start. A long call
// (a program load) stops at MaxDecodedLines accesses; *more counts the
// requests left undecoded.
std::vector<std::string> DecodedCall(const std::string& path, const IndexedCall& call, size_t* more) {
    std::vector<std::string> lines;
    *more = 0;
    const uint32_t n = call.number;
    CaptureReader reader;
    if (!reader.Open(path) || !reader.SeekToCall(call.offset, n - 1, call.firstRequest)) return lines;
    TraceDecoder decoder;
    CaptureRecord record;
    uint32_t fed = 0;
    while (lines.size() < MaxDecodedLines && reader.Next(&record) && record.callNumber == n &&
           record.kind != RADOVL_CAPTURE_KIND_RETURN) {
        if (record.kind != RADOVL_CAPTURE_KIND_REQUEST) continue;
        // The file may hold more of an unfinished call than the index does
        // (it grew since): the details are the index's.
        if (record.requestNumber > call.requests) break;
        decoder.Feed(AsTraced(record.request), record.requestNumber);
        fed = record.requestNumber;
        for (const DecodedAccess& a : decoder.Take()) lines.push_back(FormatAccess(a));
    }
    if (fed == call.requests) {
        decoder.Flush();
        for (const DecodedAccess& a : decoder.Take()) lines.push_back(FormatAccess(a));
    }
    *more = call.requests - fed;
    return lines;
}

std::string DetailJson(const Viewer& v, const CaptureIndex& index, uint32_t n) {
    const IndexedCall& c = index.calls()[n - 1];
    const std::vector<TrackedRegister>& regs = index.registers();
    size_t more = 0;
    const std::vector<std::string> decoded = DecodedCall(v.path, c, &more);
    std::ostringstream os;
    os << "{\"call\":" << CallJson(c) << ",\"text\":" << JsonString(c.text) << ",\"decoded\":[";
    for (size_t i = 0; i < decoded.size(); ++i) os << (i ? ",\n" : "\n") << JsonString(decoded[i]);
    os << "],\"decodedMore\":" << more << ",\"changes\":[";
    for (size_t i = 0; i < c.changes.size(); ++i) {
        const RegisterChange& ch = c.changes[i];
        os << (i ? ",\n" : "\n") << "{\"register\":" << JsonString(RegisterLabel(regs[ch.index]))
           << ",\"before\":\"" << Hex(ch.before) << "\",\"after\":\"" << Hex(ch.after) << "\"}";
    }
    const RegisterState state = index.At(n);
    os << "],\"registers\":[";
    bool first = true;
    for (size_t i = 0; i < regs.size(); ++i) {
        if (!index.BoardSeen(regs[i].board)) continue;
        os << (first ? "\n" : ",\n") << "{\"register\":" << JsonString(RegisterLabel(regs[i])) << ",\"value\":\""
           << Hex(state.values[i]) << "\",\"fields\":" << JsonString(DecodeFields(regs[i].reg, state.values[i]))
           << ",\"lastWrittenBy\":" << state.lastWriter[i] << "}";
        first = false;
    }
    os << "]}";
    return os.str();
}

// The SVG replay --render FILE.svg --at N writes, drawn by that same code
// from the boards as the index gives them after call n.
bool SvgAt(Viewer& v, const CaptureIndex& index, uint32_t n, std::string* svg, std::string* error) {
    uint64_t generation = 0;
    {
        const std::lock_guard<std::mutex> hold(v.mutex);
        if (const auto cached = v.svgs.find(n); cached != v.svgs.end()) {
            *svg = cached->second;
            return true;
        }
        generation = v.generation;
    }
    {
        const std::lock_guard<std::mutex> board(v.board);
        AppliedCapture applied;
        if (!index.BoardsAfter(n, &applied)) {
            *error = "radovl-sim: " + index.path() + " no longer reads as it was indexed up to call " +
                     std::to_string(n) + "\n";
            return false;
        }
        RenderOptions options;
        const auto read = index.ReadLock();
        *svg = RenderSvg(CapturedScreen(index.path(), index.site(), {}, applied, &options), options);
    }
    const std::lock_guard<std::mutex> hold(v.mutex);
    // Drawn from an index replaced or grown since: not kept.
    if (v.generation != generation || v.index.get() != &index) return true;
    if (v.svgs.size() > 64) v.svgs.clear();
    v.svgs[n] = *svg;
    return true;
}

// A call number from a path: digits only, within the capture.
int CallNumber(const std::string& text, const CaptureIndex& index, httplib::Response& res) {
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos) {
        res.status = 400;
        res.set_content("a call number is digits\n", "text/plain");
        return -1;
    }
    const uint64_t n = std::stoull(text);
    if (n < 1 || n > index.calls().size()) {
        res.status = 404;
        res.set_content("the capture holds " + std::to_string(index.calls().size()) + " calls, not " + text + "\n",
                        "text/plain");
        return -1;
    }
    return static_cast<int>(n);
}

void Routes(httplib::Server& server, Viewer& v, int port) {
    // Only pages asked for by the loopback address' own names: a page from
    // elsewhere that renames itself to 127.0.0.1 gets nothing.
    server.set_pre_routing_handler([port](const httplib::Request& req, httplib::Response& res) {
        const std::string host = req.get_header_value("Host");
        const std::string p = ":" + std::to_string(port);
        if (host == "127.0.0.1" + p || host == "localhost" + p) return httplib::Server::HandlerResponse::Unhandled;
        res.status = 403;
        res.set_content("this server answers only requests for 127.0.0.1" + p + "\n", "text/plain");
        return httplib::Server::HandlerResponse::Handled;
    });
    server.Get("/", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(ViewPage, "text/html; charset=utf-8");
    });
    server.Get("/api/calls", [&v](const httplib::Request& req, httplib::Response& res) {
        const auto index = Current(v);
        const auto read = index->ReadLock();
        size_t from = 0;
        if (req.has_param("from")) {
            const std::string f = req.get_param_value("from");
            if (f.empty() || f.size() > 10 || f.find_first_not_of("0123456789") != std::string::npos) {
                res.status = 400;
                res.set_content("from is a call count\n", "text/plain");
                return;
            }
            from = std::min<size_t>(std::stoull(f), index->calls().size());
        }
        res.set_content(CallsJson(*index, from), "application/json");
    });
    server.Get(R"(/api/call/([^/]*))", [&v](const httplib::Request& req, httplib::Response& res) {
        const auto index = Current(v);
        const auto read = index->ReadLock();
        const int n = CallNumber(req.matches[1], *index, res);
        if (n > 0) res.set_content(DetailJson(v, *index, static_cast<uint32_t>(n)), "application/json");
    });
    server.Get(R"(/api/svg/([^/]*))", [&v](const httplib::Request& req, httplib::Response& res) {
        const auto index = Current(v);
        int n = 0;
        {
            const auto read = index->ReadLock();
            n = CallNumber(req.matches[1], *index, res);
        }
        if (n < 1) return;
        std::string svg, error;
        if (!SvgAt(v, *index, static_cast<uint32_t>(n), &svg, &error)) {
            res.status = 500;
            res.set_content(error, "text/plain");
            return;
        }
        res.set_content(svg, "image/svg+xml");
    });
    server.Get("/api/events", [&v](const httplib::Request&, httplib::Response& res) {
        if (++v.streams > MaxEventStreams) {
            --v.streams;
            res.status = 503;
            res.set_content("too many pages follow this capture\n", "text/plain");
            return;
        }
        res.set_header("Cache-Control", "no-cache");
        auto sent = std::make_shared<uint64_t>(0);
        res.set_chunked_content_provider(
            "text/event-stream",
            [&v, sent](size_t, httplib::DataSink& sink) {
                std::unique_lock<std::mutex> lock(v.mutex);
                v.changed.wait_for(lock, std::chrono::seconds(1),
                                   [&] { return v.stopping.load() || v.generation != *sent; });
                if (v.stopping) {
                    sink.done();
                    return true;
                }
                std::string event = ": still here\n\n";  // a closed page shows as a failed write
                if (v.generation != *sent) {
                    *sent = v.generation;
                    event = "data: {\"total\":" + std::to_string(v.total) + ",\"note\":" + JsonString(v.note) +
                            "}\n\n";
                }
                lock.unlock();
                return sink.write(event.data(), event.size());
            },
            [&v](bool) { --v.streams; });
    });
    server.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (res.body.empty()) {
            res.set_content(std::to_string(res.status) + (res.status == 404 ? " no such page\n" : "\n"),
                            "text/plain");
        }
    });
    server.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr e) {
        res.status = 500;
        std::string what = "failed";
        try {
            std::rethrow_exception(e);
        } catch (const std::exception& x) {
            what = x.what();
        } catch (...) {
        }
        res.set_content("radovl-sim: " + what + "\n", "text/plain");
    });
}

// Watches the file: what a capture gains is indexed on from its last whole
// call (a capture cut or written again, from the start) and the pages told.
void Follow(Viewer& v) {
    // Nothing seen yet: the first look reads what was written while the
    // index was first built.
    struct stat last {};
    while (!v.stopping) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (v.scenario > 0 && waitpid(v.scenario, nullptr, WNOHANG) == v.scenario) v.scenario = 0;
        struct stat now {};
        if (stat(v.path.c_str(), &now) != 0) continue;
        if (now.st_size == last.st_size && now.st_mtim.tv_sec == last.st_mtim.tv_sec &&
            now.st_mtim.tv_nsec == last.st_mtim.tv_nsec) {
            continue;
        }
        last = now;
        std::string error;
        if (!IndexMore(v, &error)) std::cerr << "radovl-sim view: " << error << "\n";
    }
}

bool IsCapture(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char magic[RADOVL_CAPTURE_MAGIC_BYTES] = {};
    in.read(magic, sizeof magic);
    return in && std::string(magic, sizeof magic) == RADOVL_CAPTURE_MAGIC;
}

// Runs the scenario in a radovl-sim of its own with a capture into the
// work directory; its output goes to the standard error. Waits for it,
// unless following; 0 when it could not start.
pid_t RunScenario(const std::string& scenario, const std::string& workDir, const std::string& capture, bool wait,
                  std::ostream& err) {
    std::error_code ec;
    std::filesystem::remove(capture, ec);
    const std::string self = std::filesystem::read_symlink("/proc/self/exe", ec).string();
    std::vector<std::string> words = {self, "run", scenario, "--quiet", "--workdir", workDir};
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    setenv("RADOVL_CAPTURE", capture.c_str(), 1);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, 2, 1);
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, self.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    unsetenv("RADOVL_CAPTURE");  // only the scenario's run captures
    if (failed != 0) {
        err << "radovl-sim view: cannot run the scenario: " << std::strerror(failed) << "\n";
        return 0;
    }
    if (wait) {
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            err << "radovl-sim view: the scenario did not run to its end; showing what it captured\n";
        }
    } else {
        // The page starts with what the console has captured so far.
        for (int i = 0; i < 100 && !std::filesystem::exists(capture, ec); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    return pid;
}

}  // namespace

int ViewCommand(const ParsedArgs& args, std::ostream& out, std::ostream& err) {
    Viewer v;
    v.path = args.operands[0];
    v.follow = args.Has("follow");
    int port = 0;
    if (const std::optional<std::string> p = args.Value("port")) {
        const std::optional<int64_t> n = OptionNumber(*p, 0, 65535);
        if (!n) {
            err << "radovl-sim view: --port takes a port number from 0 (any free one) to 65535, not " << *p << "\n";
            return ExitUsage;
        }
        port = static_cast<int>(*n);
    }
    char temp[] = "/tmp/radovl-view-XXXXXX";
    if (mkdtemp(temp) == nullptr) {
        err << "radovl-sim view: cannot make a temporary directory: " << std::strerror(errno) << "\n";
        return ExitFailed;
    }
    v.tempDir = temp;
    // On every way out: a scenario still running is stopped, the
    // temporary directory goes.
    struct Cleanup {
        Viewer& v;
        ~Cleanup() {
            if (v.scenario > 0) {
                kill(v.scenario, SIGTERM);
                waitpid(v.scenario, nullptr, 0);
                v.scenario = 0;
            }
            std::error_code ec;
            std::filesystem::remove_all(v.tempDir, ec);
        }
    } cleanup{v};

    if (!IsCapture(v.path) && std::filesystem::is_regular_file(v.path)) {
        std::string workDir = args.Value("workdir").value_or("");
        if (workDir.empty()) {
            char dir[] = "/tmp/radovl-view-run-XXXXXX";
            workDir = mkdtemp(dir) != nullptr ? dir : v.tempDir;
        }
        std::error_code ec;
        std::filesystem::create_directories(workDir, ec);
        workDir = std::filesystem::absolute(workDir).string();
        const std::string capture = workDir + "/view.cap";
        err << "radovl-sim view: running " << v.path << " with its capture in " << capture << "\n";
        v.scenario = RunScenario(std::filesystem::absolute(v.path).string(), workDir, capture, !v.follow, err);
        if (v.scenario == 0) return ExitFailed;
        if (!v.follow) v.scenario = 0;
        v.path = capture;
    }
    std::string error;
    if (!Reindex(v, &error)) {
        err << "radovl-sim: " << error << "\n";
        return ExitUsage;
    }

    // Ctrl-C and SIGTERM are taken by one thread, which stops the server;
    // every other thread blocks them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    httplib::Server server;
    server.new_task_queue = [] { return new httplib::ThreadPool(MaxEventStreams + 8); };
    server.set_payload_max_length(4096);
    server.set_read_timeout(5, 0);
    server.set_keep_alive_timeout(2);
    const int bound = port == 0 ? server.bind_to_any_port("127.0.0.1") : (server.bind_to_port("127.0.0.1", port)
                                                                               ? port : -1);
    if (bound < 0) {
        err << "radovl-sim view: cannot listen on 127.0.0.1" << (port ? ":" + std::to_string(port) : "") << "\n";
        return ExitFailed;
    }
    Routes(server, v, bound);
    out << "http://127.0.0.1:" << bound << "/" << std::endl;
    err << "radovl-sim view: " << Grouped(v.total) << " calls of " << v.path
        << (v.follow ? ", following it" : "") << "; Ctrl-C stops\n";

    std::thread stopper([&] {
        int signal = 0;
        sigwait(&signals, &signal);
        v.stopping = true;
        {
            const std::lock_guard<std::mutex> hold(v.mutex);
            v.changed.notify_all();
        }
        server.stop();
    });
    std::thread follower;
    if (v.follow) follower = std::thread([&] { Follow(v); });
    const bool listened = server.listen_after_bind();
    if (!v.stopping) pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();
    if (follower.joinable()) follower.join();
    if (v.scenario > 0) {
        kill(v.scenario, SIGTERM);
        waitpid(v.scenario, nullptr, 0);
        v.scenario = 0;
    }
    err << "radovl-sim view: stopped\n";
    return listened || v.stopping ? ExitOk : ExitFailed;
}

}  // namespace radovl::tool
