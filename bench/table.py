"""Turns the benchmark's JSON into the results table: medians of the
repetitions, requests per second, the library's own cost per request
against one system call, the cost of the lock every call holds, the
simulator's memory and the soak's resident memory, each with its
target."""
import json
import sys


def main(path):
    data = json.load(open(path))
    context = data["context"]
    median = {}
    errors = {}
    for b in data["benchmarks"]:
        name = b.get("run_name", b["name"])
        if b.get("error_occurred"):
            errors[name] = b.get("error_message", "error")
        elif b.get("aggregate_name") == "median":
            median[name] = b

    def ns_per_request(name):
        b = median[name]
        scale = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[b["time_unit"]]
        return b["cpu_time"] * scale / b["requests"]

    out = []
    out.append("| benchmark | CPU time per call | requests per call | requests/s | ns per request |")
    out.append("|---|---|---|---|---|")
    for name in ["PublicApi/SetPPIColor", "PublicApi/OpenPPI", "StartUp/TwoMiBPrograms",
                 "RequestPath/Library", "RequestPath/Replay", "RequestPath/LibraryColourTable",
                 "RequestPath/ReplayColourTable", "RequestPath/LibraryColourTableCapturing",
                 "RequestPath/IoctlSyscall"]:
        if name in errors:
            out.append(f"| {name} | not run: {errors[name]} | | | |")
            continue
        if name not in median:
            continue
        b = median[name]
        out.append(f"| {name} | {b['cpu_time']:.4g} {b['time_unit']} | {b['requests']:.0f} | "
                   f"{b['requests_per_s'] / 1e6:.2f} M | {ns_per_request(name):.2f} |")

    out.append("")
    reps = data["benchmarks"][0].get("repetitions", 1) if data["benchmarks"] else 0
    out.append(f"Medians of {reps} repetitions, CPU time; host load average at start "
               f"{context.get('load_avg', ['?'])[0] if context.get('load_avg') else '?'}.")
    out.append("")
    out.append("| measure | value | target | met |")
    out.append("|---|---|---|---|")
    sys_ns = ns_per_request("RequestPath/IoctlSyscall") if "RequestPath/IoctlSyscall" in median else None
    for label, lib_name, sim_name in [("SetPPIColor stream, 512 requests, in cache", "RequestPath/LibraryColourTable",
                                       "RequestPath/ReplayColourTable"),
                                      ("start-up stream, with file reading", "RequestPath/Library",
                                       "RequestPath/Replay")]:
        if sys_ns is None or lib_name not in median or sim_name not in median:
            continue
        lib = ns_per_request(lib_name)
        sim = ns_per_request(sim_name)
        own = lib - sim
        share = 100.0 * own / sys_ns
        out.append(f"| {label}: library's own cost per request (library path - replay) | {own:.2f} ns | | |")
        out.append(f"| ... as a share of one ioctl system call ({sys_ns:.0f} ns) | {share:.2f} % | <= 8 % | "
                   f"{'yes' if share <= 8 else 'NO'} |")
        out.append(f"| ... library path / replay, time per request | {lib / sim:.3f} | | |")
        rate = 1e3 / lib
        out.append(f"| ... full library + simulator path | {rate:.1f} M requests/s | >= 10 M/s | "
                   f"{'yes' if rate >= 10 else 'NO'} |")
    if "RequestPath/LibraryColourTable" in median and "RequestPath/LibraryColourTableCapturing" in median:
        capture = ns_per_request("RequestPath/LibraryColourTableCapturing") - ns_per_request(
            "RequestPath/LibraryColourTable")
        out.append(f"| capture on (RADOVL_CAPTURE): added cost per request, SetPPIColor stream | {capture:.2f} ns | | |")
    pages = int(context.get("sim_pages_kib", -1))
    rss = int(context.get("sim_rss_delta_kib", -1))
    hwm = int(context.get("vm_hwm_kib", -1))
    out.append(f"| simulator memory after both 1 MiB loads (RSS growth) | {rss / 1024:.2f} MiB | < 32 MiB | "
               f"{'yes' if 0 <= rss < 32 * 1024 else 'NO'} |")
    out.append(f"| ... of which simulated memory pages | {pages / 1024:.2f} MiB | | |")
    out.append(f"| process peak (VmHWM) after the loads | {hwm / 1024:.2f} MiB | | |")
    out.append(f"| requests of one start-up with both loads | {context.get('sim_requests_per_start_up')} | | |")

    def ns(name):
        b = median[name]
        return b["cpu_time"] * {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[b["time_unit"]]

    if sys_ns is not None and "CallLock/Pair" in median:
        pair = ns("CallLock/Pair")
        share = 100.0 * pair / sys_ns
        out.append(f"| call lock taken and given back, once per call | {pair:.1f} ns | | |")
        out.append(f"| ... as a share of one ioctl system call, the least a real request costs | {share:.2f} % | "
                   f"<= 3 % | {'yes' if share <= 3 else 'NO'} |")
    if "CallLock/Nested" in median and "RequestPath/ReplayColourTable" in median:
        nested = ns("CallLock/Nested")
        sim = ns_per_request("RequestPath/ReplayColourTable")
        out.append(f"| ... taken again while held: what each request of a call saves by not taking it | "
                   f"{nested:.1f} ns, {100.0 * nested / sim:.0f} % of one simulated request | | |")
    if "soak_calls" in context:
        start, quarter, end = (int(context[f"soak_rss_{k}_kib"]) for k in ("start", "quarter", "end"))
        growth = end - quarter
        out.append(f"| soak: {int(context['soak_calls']):,} heading updates, {int(context['soak_requests']):,} "
                   f"requests, trace on, {int(context['soak_trace_kept']):,} kept | | | |")
        out.append(f"| ... resident memory at start, after a quarter, at end | {start / 1024:.1f} / "
                   f"{quarter / 1024:.1f} / {end / 1024:.1f} MiB | | |")
        out.append(f"| ... growth over the last three quarters | {growth / 1024:.2f} MiB | < 1 MiB | "
                   f"{'yes' if growth < 1024 else 'NO'} |")
    print("\n".join(out))


if __name__ == "__main__":
    main(sys.argv[1])
