#include "scenario/exports_table.h"

#include <algorithm>
#include <cctype>
#include <tuple>
#include <utility>

#include "radovl/radovl.h"

namespace radovl::tool {
namespace {

template <typename T>
constexpr ParamKind KindOf() {
    return std::is_floating_point_v<T> ? ParamKind::Float : ParamKind::Int;
}

// Each argument goes into its 32-bit slot as the C caller would put it:
// integers by their low 32 bits, floats converted.
template <typename T>
T SlotValue(const Argument& a) {
    if constexpr (std::is_floating_point_v<T>) {
        return static_cast<T>(a.kind == ParamKind::Float ? a.real : static_cast<double>(a.integer));
    } else {
        return static_cast<T>(static_cast<uint32_t>(a.integer));
    }
}

template <typename... A, size_t... I>
int32_t CallWith(int32_t (*fn)(A...), const std::vector<Argument>& args, std::index_sequence<I...>) {
    return fn(SlotValue<A>(args[I])...);
}

template <typename... A>
ExportInfo Entry(const char* name, int32_t (*fn)(A...), std::vector<std::string> params) {
    ExportInfo info;
    info.name = name;
    info.params = std::move(params);
    info.kinds = {KindOf<A>()...};
    info.call = [fn](const std::vector<Argument>& args) {
        return CallWith(fn, args, std::index_sequence_for<A...>{});
    };
    return info;
}

std::vector<ExportInfo> Build() {
    const std::vector<std::string> ch = {"channel"};
    const std::vector<std::string> rect = {"channel", "x", "y", "w", "h"};
    const std::vector<std::string> xy = {"channel", "x", "y"};
    const std::vector<std::string> wh = {"channel", "w", "h"};
    return {
        Entry("KT_RDSP_Init", &KT_RDSP_Init, {}),
        Entry("KT_RDSP_OpenOverlay", &KT_RDSP_OpenOverlay, {"channel", "on"}),
        Entry("KT_RDSP_SetScreenProp", &KT_RDSP_SetScreenProp, {"which", "value"}),
        Entry("KT_RDSP_SetPPIVideoCombined", &KT_RDSP_SetPPIVideoCombined, {"on"}),
        Entry("SetTVP2pMode", &SetTVP2pMode, {"channel", "mode"}),
        Entry("SetRDP2pMode", &SetRDP2pMode, {"channel", "mode"}),
        Entry("KT_RDSP_OpenPPI", &KT_RDSP_OpenPPI, rect),
        Entry("KT_RDSP_ClosePPI", &KT_RDSP_ClosePPI, ch),
        Entry("KT_RDSP_SetPPIXY", &KT_RDSP_SetPPIXY, xy),
        Entry("KT_RDSP_SetPPIWH", &KT_RDSP_SetPPIWH, wh),
        Entry("KT_RDSP_SetPPIMode", &KT_RDSP_SetPPIMode, {"channel", "mode"}),
        Entry("KT_RDSP_SetPPICenter", &KT_RDSP_SetPPICenter, {"channel", "dx", "dy"}),
        Entry("KT_RDSP_SetPPIShipDir", &KT_RDSP_SetPPIShipDir, {"channel", "angle"}),
        Entry("KT_RDSP_SetPPIColor", &KT_RDSP_SetPPIColor, {"channel", "colour"}),
        Entry("KT_RDSP_SetPPILineColor", &KT_RDSP_SetPPILineColor, {"channel", "colour"}),
        Entry("KT_RDSP_SetPPIScan", &KT_RDSP_SetPPIScan, {"channel", "on"}),
        Entry("KT_RDSP_FrostPPI", &KT_RDSP_FrostPPI, {"channel", "frost"}),
        Entry("KT_RDSP_SetPPIDist", &KT_RDSP_SetPPIDist, {"channel", "dist"}),
        Entry("KT_RDSP_SetPPIGate", &KT_RDSP_SetPPIGate, {"channel", "gate"}),
        Entry("KT_RDSP_SetPPITail", &KT_RDSP_SetPPITail, {"channel", "tail"}),
        Entry("KT_RDSP_SetPPISwitch", &KT_RDSP_SetPPISwitch, {"channel", "on"}),
        Entry("KT_RDSP_SetPPILineTail", &KT_RDSP_SetPPILineTail, {"channel", "lineTail"}),
        Entry("KT_RDSP_SetPPIOnTop", &KT_RDSP_SetPPIOnTop, {"channel", "on"}),
        Entry("KT_RDSP_OpenMiniWin", &KT_RDSP_OpenMiniWin, rect),
        Entry("KT_RDSP_CloseMiniWin", &KT_RDSP_CloseMiniWin, ch),
        Entry("KT_RDSP_SetMiniWinXY", &KT_RDSP_SetMiniWinXY, xy),
        Entry("KT_RDSP_SetMiniWinWH", &KT_RDSP_SetMiniWinWH, wh),
        Entry("KT_RDSP_SetMiniWinMode", &KT_RDSP_SetMiniWinMode, {"channel", "mode"}),
        Entry("KT_RDSP_SetMiniWinColor", &KT_RDSP_SetMiniWinColor, {"channel", "colour"}),
        Entry("KT_RDSP_SetMiniWinDistDir", &KT_RDSP_SetMiniWinDistDir, {"channel", "distance", "direction"}),
        Entry("KT_RDSP_SetMiniWinScale", &KT_RDSP_SetMiniWinScale, {"channel", "scale"}),
        Entry("KT_RDSP_OpenAr", &KT_RDSP_OpenAr, rect),
        Entry("KT_RDSP_CloseAr", &KT_RDSP_CloseAr, ch),
        Entry("KT_RDSP_SetArXY", &KT_RDSP_SetArXY, xy),
        Entry("KT_RDSP_SetArWH", &KT_RDSP_SetArWH, wh),
        Entry("KT_RDSP_SetArGate", &KT_RDSP_SetArGate, {"channel", "gate"}),
        Entry("KT_RDSP_SetArDist", &KT_RDSP_SetArDist, {"channel", "dist"}),
        Entry("KT_RDSP_SetArColor", &KT_RDSP_SetArColor, {"channel", "colour"}),
        Entry("KT_RDSP_SetArColorKey", &KT_RDSP_SetArColorKey, {"channel", "key"}),
        Entry("KT_RDSP_SetAROnTop", &KT_RDSP_SetAROnTop, {"channel", "on"}),
        Entry("KT_RDSP_OpenTV", &KT_RDSP_OpenTV, rect),
        Entry("KT_RDSP_CloseTV", &KT_RDSP_CloseTV, ch),
        Entry("KT_RDSP_SetTVXY", &KT_RDSP_SetTVXY, xy),
        Entry("KT_RDSP_SetTVWH", &KT_RDSP_SetTVWH, wh),
        Entry("KT_RDSP_FrostTV", &KT_RDSP_FrostTV, {"channel", "frost"}),
        Entry("KT_RDSP_SetTVBright", &KT_RDSP_SetTVBright, {"channel", "level"}),
        Entry("KT_RDSP_SetTVColor", &KT_RDSP_SetTVColor, {"channel", "level"}),
        Entry("KT_RDSP_SetTVContrast", &KT_RDSP_SetTVContrast, {"channel", "level"}),
        Entry("KT_RDSP_SetTVOnTop", &KT_RDSP_SetTVOnTop, {"channel", "on"}),
        Entry("KT_RDSP_SetTVColorKey", &KT_RDSP_SetTVColorKey, {"channel", "key"}),
    };
}

size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t up = row[j];
            const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                              std::tolower(static_cast<unsigned char>(b[j - 1]));
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = up;
        }
    }
    return row[b.size()];
}

}  // namespace

const std::vector<ExportInfo>& Exports() {
    static const std::vector<ExportInfo> exports = Build();
    return exports;
}

const ExportInfo* FindExport(const std::string& name) {
    for (const ExportInfo& e : Exports()) {
        if (e.name == name) return &e;
    }
    return nullptr;
}

std::string SuggestExport(const std::string& name) {
    const size_t farthest = std::max<size_t>(3, name.size() / 3);
    // Two names differ in at least as many places as their lengths do: a
    // word far longer than every export (8 MiB of it) is not compared at all.
    const auto distance = [&](const std::string& candidate) {
        const size_t apart = name.size() > candidate.size() ? name.size() - candidate.size()
                                                            : candidate.size() - name.size();
        return apart > farthest ? farthest + 1 : EditDistance(name, candidate);
    };
    const ExportInfo* best = nullptr;
    size_t bestDistance = 0;
    for (const ExportInfo& e : Exports()) {
        // Compare with and without the common prefix, so "OpenPPI" finds
        // KT_RDSP_OpenPPI.
        const std::string shortName = e.name.rfind("KT_RDSP_", 0) == 0 ? e.name.substr(8) : e.name;
        const size_t d = std::min(distance(e.name), distance(shortName));
        if (best == nullptr || d < bestDistance) {
            best = &e;
            bestDistance = d;
        }
    }
    if (best == nullptr || bestDistance > farthest) return std::string();
    return best->name;
}

}  // namespace radovl::tool
