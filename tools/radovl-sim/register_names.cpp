#include "register_names.h"

#include <cstdio>
#include <vector>

#include "hw/driver.h"
#include "hw/registers.h"

namespace radovl::tool {
namespace {

std::string Num(const char* key, int64_t value) { return std::string(key) + "=" + std::to_string(value); }

std::string Join(std::initializer_list<std::string> parts) {
    std::string out;
    for (const std::string& p : parts) {
        if (p.empty()) continue;
        if (!out.empty()) out += ' ';
        out += p;
    }
    return out;
}

std::string Flag(const char* key, uint32_t value, uint32_t mask) { return Num(key, (value & mask) ? 1 : 0); }

int32_t RowOf(uint32_t value) { return static_cast<int32_t>(FieldGet(Position::Row, value)); }
int32_t ColumnOf(uint32_t value) { return static_cast<int32_t>(FieldGet(Position::Column, value)); }

// A position word as the monitor-relative point it encodes, and the raw
// fields: "x=100 y=50 (col=158 row=50)".
std::string PositionText(int32_t column, int32_t row, int32_t columnOffset, int32_t rowOffset) {
    return Num("x", column - columnOffset) + " " + Num("y", row - rowOffset) + " (" + Num("col", column) + " " +
           Num("row", row) + ")";
}

std::string MixerPosition(uint32_t v) { return PositionText(ColumnOf(v), RowOf(v), PixelOffset::MixerColumn, 0); }
std::string VideoPosition(uint32_t v) { return PositionText(ColumnOf(v), RowOf(v), PixelOffset::DspColumn, 0); }
std::string ArStartPosition(uint32_t v) {
    return PositionText(ColumnOf(v), RowOf(v), PixelOffset::ArStartColumn, PixelOffset::ArStartRow);
}
std::string ArEndPosition(uint32_t v) { return PositionText(ColumnOf(v), RowOf(v), PixelOffset::ArEndColumn, 0); }
std::string TvStartPosition(uint32_t v) {
    return PositionText(ColumnOf(v), RowOf(v), PixelOffset::TvColumn, PixelOffset::TvRow);
}
std::string FramePosition(uint32_t v) { return Num("col", ColumnOf(v)) + " " + Num("row", RowOf(v)); }

std::string MiniStartFields(uint32_t v) {
    const int32_t row = static_cast<int32_t>(FieldGet(MiniStart::Row, v));
    const int32_t column = static_cast<int32_t>(FieldGet(MiniStart::Column, v));
    return Flag("shown", v, MiniStart::Shown) + " " + PositionText(column, row, PixelOffset::MixerColumn, 0);
}
std::string MiniDspStartFields(uint32_t v) {
    const int32_t row = static_cast<int32_t>(FieldGet(MiniDspStart::Row, v));
    const int32_t column = static_cast<int32_t>(FieldGet(MiniDspStart::Column, v));
    return PositionText(column, row, PixelOffset::DspColumn, 0);
}

std::string ChannelBits(uint32_t v, ChannelBit bit, const char* kind) {
    std::string out;
    if (v & bit.channel1) out += std::string(out.empty() ? "" : ",") + kind + "1";
    if (v & bit.channel2) out += std::string(out.empty() ? "" : ",") + kind + "2";
    return out;
}

std::string PriorityText(const char* key, uint32_t v, uint32_t bit) {
    return std::string(key) + "=" + ((v & bit) ? "ch1" : "ch2");
}

std::string DisplayControlFields(uint32_t v) {
    std::string shown = ChannelBits(v, DisplayControl::PpiShown, "PPI");
    const std::string tv = ChannelBits(v, DisplayControl::TvShown, "TV");
    const std::string ar = ChannelBits(v, DisplayControl::ArShown, "AR");
    for (const std::string* s : {&tv, &ar}) {
        if (!s->empty()) shown += (shown.empty() ? "" : ",") + *s;
    }
    return Join({Num("prop", FieldGet(DisplayControl::ScreenProperty, v)), "shown=" + (shown.empty() ? "-" : shown),
                 PriorityText("ppiPri", v, DisplayControl::PpiPriority),
                 PriorityText("tvPri", v, DisplayControl::TvPriority),
                 PriorityText("arPri", v, DisplayControl::ArPriority)});
}

std::string TestAndCombineFields(uint32_t v) { return Flag("combined", v, TestAndCombine::VideoCombined); }

std::string TvKeyControlFields(uint32_t v) {
    return Join({"key=" + RgbText(FieldGet(TvKeyControl::ColourKey, v)), Flag("onTop", v, TvKeyControl::OnTop),
                 Flag("out", v, TvKeyControl::OutputSelect)});
}

std::string PpiKeyControlFields(uint32_t v) {
    return Join({Flag("overlay", v, PpiKeyControl::OverlayEnable), Flag("onTop", v, PpiKeyControl::OnTop),
                 Flag("out", v, PpiKeyControl::OutputSelect)});
}

std::string ArColourText(uint32_t v) {
    std::string c;
    if (v & ArKeyControl::Red) c += 'R';
    if (v & ArKeyControl::Green) c += 'G';
    if (v & ArKeyControl::Blue) c += 'B';
    return c.empty() ? "-" : c;
}

std::string ArKeyControlFields(uint32_t v) {
    return "key=" + RgbText(FieldGet(ArKeyControl::ColourKey, v)) + " colour=" + ArColourText(v);
}

std::string ScaleText(const char* key, uint32_t units) {
    char text[48];
    std::snprintf(text, sizeof text, "%s=%u (%.3f)", key, units, units / static_cast<double>(TvScale::Unit));
    return text;
}

std::string TvScaleFields(uint32_t v) {
    return ScaleText("h", FieldGet(TvScale::Horizontal, v)) + " " + ScaleText("v", FieldGet(TvScale::Vertical, v));
}

std::string MarkerFields(uint32_t v) { return v == MainMarkerWord::Value ? "marker" : ""; }

std::string LutEntryFields(uint32_t v) { return RgbText(v & Rgb::All); }

std::string I2cControlFields(uint32_t v) {
    return Flag("enable", v, I2cControl::CoreEnable) + " " + Flag("irq", v, I2cControl::InterruptEnable);
}

std::string I2cCommandFields(uint32_t v) {
    std::string out;
    if (v & I2cCommand::Start) out += "start ";
    if (v & I2cCommand::Stop) out += "stop ";
    if (v & I2cCommand::Write) out += "write ";
    if (!out.empty()) out.pop_back();
    return out;
}

std::string DspResetControlFields(uint32_t v) {
    return Flag("dsp0", v, DspResetControl::Release.dsp0) + " " + Flag("dsp1", v, DspResetControl::Release.dsp1);
}

std::string DspResetEnableFields(uint32_t v) { return Flag("hold", v, DspResetEnable::Hold); }

std::string BridgeControlFields(uint32_t v) {
    if (v == BridgeControl::Access) return "access";
    if (v == BridgeControl::Start) return "start";
    return "";
}

std::string ChannelControlFields(uint32_t v) {
    return Join({Num("tvMode", FieldGet(ChannelControl::TvMode, v)),
                 Num("rdP2p", (v & ChannelControl::RdP2p) == ChannelControl::RdP2p ? 1 : 0),
                 Flag("bit4", v, ChannelControl::WindowsTouched), Flag("bit5", v, ChannelControl::PpiClearedAtOpen),
                 Flag("mini", v, ChannelControl::MiniShown), Flag("ppi", v, ChannelControl::PpiShown)});
}

std::string PpiFlagsFields(uint32_t v) {
    return Flag("scan", v, PpiFlags::Scan) + " " + Num("frozen", (v & PpiFlags::Frozen) == PpiFlags::Frozen ? 1 : 0);
}

std::string PpiTailsFields(uint32_t v) {
    return Num("tail", FieldGet(PpiTails::Tail, v)) + " " + Num("lineTail", FieldGet(PpiTails::LineTail, v));
}

const char* PpiModeName(uint32_t mode) {
    switch (mode) {
        case PpiControl::ModeCentred: return "centred";
        case PpiControl::ModeCornerHeight: return "corner-h";
        case PpiControl::ModeCornerWidth: return "corner-w";
        default: return "none";
    }
}

std::string PpiControlFields(uint32_t v) {
    return std::string("mode=") + PpiModeName(v & PpiControl::Mode) + " " + Flag("rdP2p", v, BlockRdP2p);
}

std::string SizeFields(uint32_t v) {
    return Num("w", FieldGet(PpiSize::Width, v)) + " " + Num("h", FieldGet(PpiSize::Height, v));
}

std::string PpiGateFields(uint32_t v) {
    return Num("gate", FieldGet(PpiGate::Gate, v)) + " " + Num("distHi", FieldGet(PpiGate::DistanceHigh, v));
}

std::string PpiScaleFields(uint32_t v) {
    return Num("step", FieldGet(PpiScale::Step, v)) + " " + Num("distLo", FieldGet(PpiScale::DistanceLow, v));
}

std::string PpiRangeFields(uint32_t v) { return Num("range", FieldGet(PpiRange::Range, v)); }

std::string AngleText(const char* key, uint32_t units, double perTurn) {
    char text[48];
    std::snprintf(text, sizeof text, "%s=%u (%.2f deg)", key, units, units * 360.0 / perTurn);
    return text;
}

std::string PpiHeadingFields(uint32_t v) { return AngleText("heading", FieldGet(PpiHeading::Direction, v), PpiHeading::UnitsPerTurn); }

std::string MiniControlFields(uint32_t v) {
    const uint32_t mode = v & MiniControl::Mode;
    const char* name = mode == MiniControl::ModeCentred ? "centred" : mode == MiniControl::ModeCorner ? "corner" : "other";
    return std::string("mode=") + name + " " + Flag("rdP2p", v, BlockRdP2p);
}

std::string MiniDirectionFields(uint32_t v) {
    return AngleText("dir", FieldGet(MiniDirection::Direction, v), MiniDirection::UnitsPerTurn) + " " +
           Num("offset", FieldGet(MiniDirection::Offset, v));
}

std::string MiniOffsetFields(uint32_t v) { return Num("offset", FieldGet(MiniOffset::Offset, v)); }

std::string MiniScaleFields(uint32_t v) {
    return Num("zoom", FieldGet(MiniScale::Zoom, v)) + " " + Num("step", FieldGet(MiniScale::Step, v)) + " " +
           Num("dist", FieldGet(MiniScale::Distance, v));
}

std::string MiniRangeFields(uint32_t v) { return Num("range", FieldGet(MiniRange::Range, v)); }

std::string ArBandControlFields(uint32_t v) {
    return Flag("band", v, ArBandEnable) + " " + Flag("rdP2p", v, BlockRdP2p);
}

std::string ArSizeFields(uint32_t v) {
    return Num("w", FieldGet(ArUpperSize::Width, v)) + " " + Num("halfH", FieldGet(ArUpperSize::HalfHeight, v));
}

std::string ArDistanceFields(uint32_t v) { return Num("dist", FieldGet(ArDistance::Distance, v)); }

std::string ArGateFields(uint32_t v) {
    return Num("gate", FieldGet(ArGate::Gate, v)) + " " + Num("distHi", FieldGet(ArGate::DistanceHigh, v));
}

std::string PciControlFields(uint32_t v) {
    return Join({Flag("reset", v, PciControl::ResetDsp), Flag("interrupt", v, PciControl::InterruptDsp),
                 Flag("bootMode", v, PciControl::BootMode)});
}

std::string PciPageFields(uint32_t v) {
    return Num("page", v & PciPage::Number) + " (" + Hex(FieldPrep(PciPage::AddressPage, FieldGet(PciPage::Number, v))) + ")";
}

// One named register: a base name, its address, and for per-channel
// registers the channel whose copy it is.
struct Entry {
    RegisterSpace space;
    const char* base;
    uint32_t address;
    int channel;  // 0: exists once
    FieldFormatter fields;
};

void AddChannelPair(std::vector<Entry>& t, RegisterSpace space, const char* base, ChannelRegister reg,
                    FieldFormatter fields) {
    t.push_back({space, base, reg.channel1, 1, fields});
    t.push_back({space, base, reg.channel2, 2, fields});
}

// A video DSP's register is named by the channel the DSP serves.
void AddChannelPair(std::vector<Entry>& t, RegisterSpace space, const char* base, VideoDspRegister reg,
                    FieldFormatter fields) {
    AddChannelPair(t, space, base, ChannelRegister{reg.For(VideoDspOf(1)), reg.For(VideoDspOf(2))}, fields);
}

std::vector<Entry> BuildTable() {
    using S = RegisterSpace;
    std::vector<Entry> t;
    // PCI interface.
    t.push_back({S::Pci, "PciStatus", PciStatus::Offset, 0, nullptr});
    t.push_back({S::Pci, "PciControl", PciControl::Offset, 0, PciControlFields});
    t.push_back({S::Pci, "PciPage", PciPage::Offset, 0, PciPageFields});

    // EMIF registers exist in every DSP's space.
    const struct {
        const char* name;
        uint32_t address;
    } emif[] = {
        {"EMIFA GBLCTL", Emif::AGblctl}, {"EMIFA CECTL1", Emif::ACectl1}, {"EMIFA CECTL0", Emif::ACectl0},
        {"EMIFA CECTL2", Emif::ACectl2}, {"EMIFA CECTL3", Emif::ACectl3}, {"EMIFA SDCTL", Emif::ASdctl},
        {"EMIFA SDTIM", Emif::ASdtim},   {"EMIFA SDEXT", Emif::ASdext},   {"EMIFA CESEC1", Emif::ACesec1},
        {"EMIFA CESEC0", Emif::ACesec0}, {"EMIFA CESEC2", Emif::ACesec2}, {"EMIFA CESEC3", Emif::ACesec3},
        {"EMIFB GBLCTL", Emif::BGblctl}, {"EMIFB CECTL1", Emif::BCectl1}, {"EMIFB CECTL0", Emif::BCectl0},
        {"EMIFB CECTL2", Emif::BCectl2}, {"EMIFB CECTL3", Emif::BCectl3}, {"EMIFB SDCTL", Emif::BSdctl},
        {"EMIFB SDTIM", Emif::BSdtim},   {"EMIFB SDEXT", Emif::BSdext},   {"EMIFB CESEC1", Emif::BCesec1},
        {"EMIFB CESEC0", Emif::BCesec0}, {"EMIFB CESEC2", Emif::BCesec2}, {"EMIFB CESEC3", Emif::BCesec3},
    };
    for (const auto& e : emif) {
        t.push_back({S::Main, e.name, e.address, 0, nullptr});
        t.push_back({S::Video, e.name, e.address, 0, nullptr});
    }

    // Main DSP space: reset lines, bridges, mixer, windows, TV, I2C core.
    t.push_back({S::Main, "DspResetControl", DspResetControl::Address, 0, DspResetControlFields});
    t.push_back({S::Main, "DspResetEnable", DspResetEnable::Address, 0, DspResetEnableFields});
    AddChannelPair(t, S::Main, "BridgeControl", BridgeControl::Address, BridgeControlFields);
    AddChannelPair(t, S::Main, "BridgeAddress", BridgeAddress::Address, nullptr);
    AddChannelPair(t, S::Main, "BridgeData", BridgeData::Address, nullptr);
    t.push_back({S::Main, "DisplayControl", DisplayControl::Address, 0, DisplayControlFields});
    t.push_back({S::Main, "TestAndCombine", TestAndCombine::Address, 0, TestAndCombineFields});
    AddChannelPair(t, S::Main, "TvKeyControl", TvKeyControl::Address, TvKeyControlFields);
    AddChannelPair(t, S::Main, "PpiKeyControl", PpiKeyControl::Address, PpiKeyControlFields);
    AddChannelPair(t, S::Main, "ArKeyControl", ArKeyControl::Address, ArKeyControlFields);
    AddChannelPair(t, S::Main, "MiniStart", MiniStart::Address, MiniStartFields);
    AddChannelPair(t, S::Main, "MiniEnd", MiniEnd::Address, MixerPosition);
    AddChannelPair(t, S::Main, "PpiStart", PpiStart::Address, MixerPosition);
    AddChannelPair(t, S::Main, "PpiEnd", PpiEnd::Address, MixerPosition);
    AddChannelPair(t, S::Main, "ArStart", ArStart::Address, ArStartPosition);
    AddChannelPair(t, S::Main, "ArEnd", ArEnd::Address, ArEndPosition);
    AddChannelPair(t, S::Main, "TvStart", TvStart::Address, TvStartPosition);
    AddChannelPair(t, S::Main, "TvCaptureStart", TvCaptureStart::Address, FramePosition);
    AddChannelPair(t, S::Main, "TvCaptureEnd", TvCaptureEnd::Address, FramePosition);
    AddChannelPair(t, S::Main, "TvScale", TvScale::Address, TvScaleFields);
    t.push_back({S::Main, "MainMarkerWord", MainMarkerWord::Address, 0, MarkerFields});
    t.push_back({S::Main, "I2cPrescaleLow", I2cPrescaleLow::Address, 0, nullptr});
    t.push_back({S::Main, "I2cPrescaleHigh", I2cPrescaleHigh::Address, 0, nullptr});
    t.push_back({S::Main, "I2cControl", I2cControl::Address, 0, I2cControlFields});
    t.push_back({S::Main, "I2cData", I2cData::Address, 0, nullptr});
    t.push_back({S::Main, "I2cCommand", I2cCommand::Address, 0, I2cCommandFields});

    // Video DSP space.
    t.push_back({S::Video, "ChannelControl", ChannelControl::Address, 0, ChannelControlFields});
    t.push_back({S::Video, "PpiFlags", PpiFlags::Address, 0, PpiFlagsFields});
    t.push_back({S::Video, "VideoStartupWord", VideoStartupWord::Address, 0, nullptr});
    t.push_back({S::Video, "PpiTails", PpiTails::Address, 0, PpiTailsFields});
    t.push_back({S::Video, "ArEndMirror", ArEndMirror::Address, 0, ArEndPosition});
    t.push_back({S::Video, "PpiControl", PpiControl::Address, 0, PpiControlFields});
    t.push_back({S::Video, "PpiDspStart", PpiDspStart::Address, 0, VideoPosition});
    t.push_back({S::Video, "PpiSize", PpiSize::Address, 0, SizeFields});
    t.push_back({S::Video, "PpiGate", PpiGate::Address, 0, PpiGateFields});
    t.push_back({S::Video, "PpiCentre", PpiCentre::Address, 0, VideoPosition});
    t.push_back({S::Video, "PpiScale", PpiScale::Address, 0, PpiScaleFields});
    t.push_back({S::Video, "PpiRange", PpiRange::Address, 0, PpiRangeFields});
    t.push_back({S::Video, "PpiHeading", PpiHeading::Address, 0, PpiHeadingFields});
    t.push_back({S::Video, "MiniControl", MiniControl::Address, 0, MiniControlFields});
    t.push_back({S::Video, "MiniDspStart", MiniDspStart::Address, 0, MiniDspStartFields});
    t.push_back({S::Video, "MiniSize", MiniSize::Address, 0, SizeFields});
    t.push_back({S::Video, "MiniDirection", MiniDirection::Address, 0, MiniDirectionFields});
    t.push_back({S::Video, "MiniGate", MiniGate::Address, 0, PpiGateFields});
    t.push_back({S::Video, "MiniCentre", MiniCentre::Address, 0, VideoPosition});
    t.push_back({S::Video, "MiniOffset", MiniOffset::Address, 0, MiniOffsetFields});
    t.push_back({S::Video, "MiniScale", MiniScale::Address, 0, MiniScaleFields});
    t.push_back({S::Video, "MiniRange", MiniRange::Address, 0, MiniRangeFields});
    t.push_back({S::Video, "ArUpperControl", ArUpperControl::Address, 0, ArBandControlFields});
    t.push_back({S::Video, "ArUpperStart", ArUpperStart::Address, 0, ArStartPosition});
    t.push_back({S::Video, "ArUpperSize", ArUpperSize::Address, 0, ArSizeFields});
    t.push_back({S::Video, "ArDistance", ArDistance::Address, 0, ArDistanceFields});
    t.push_back({S::Video, "ArGate", ArGate::Address, 0, ArGateFields});
    t.push_back({S::Video, "ArUpperPresetA", ArUpperPresetA::Address, 0, nullptr});
    t.push_back({S::Video, "ArUpperPresetB", ArUpperPresetB::Address, 0, nullptr});
    t.push_back({S::Video, "ArLowerControl", ArLowerControl::Address, 0, ArBandControlFields});
    t.push_back({S::Video, "ArLowerStart", ArLowerStart::Address, 0, ArStartPosition});
    t.push_back({S::Video, "ArLowerSize", ArLowerSize::Address, 0, ArSizeFields});
    t.push_back({S::Video, "ArLowerPresetA", ArLowerPresetA::Address, 0, nullptr});
    t.push_back({S::Video, "ArLowerPresetB", ArLowerPresetB::Address, 0, nullptr});
    t.push_back({S::Video, "DistancePointer", DistancePointer::Address, 0, nullptr});
    t.push_back({S::Video, "FallbackTestWord", FallbackTestWord::Address, 0, nullptr});
    return t;
}

const std::vector<Entry>& Table() {
    static const std::vector<Entry> table = BuildTable();
    return table;
}

std::string EntryName(const Entry& e) {
    std::string name = e.base;
    if (e.channel != 0) name += "[" + std::to_string(e.channel) + "]";
    return name;
}

struct Lut {
    const char* base;
    ChannelRegister address;
};

constexpr Lut Luts[] = {
    {"PpiColourLut", PpiColourLut::Address},
    {"PpiLineColourLut", PpiLineColourLut::Address},
    {"MiniColourLut", MiniColourLut::Address},
};

std::optional<RegisterName> LookupLut(uint32_t address) {
    for (const Lut& lut : Luts) {
        for (int channel = 1; channel <= 2; ++channel) {
            const uint32_t base = lut.address.For(channel);
            if (address < base || address >= base + 4 * ColourLutEntries || (address - base) % 4 != 0) continue;
            const uint32_t index = (address - base) / 4;
            return RegisterName{std::string(lut.base) + "[" + std::to_string(channel) + "][" + std::to_string(index) + "]",
                                address, LutEntryFields};
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<RegisterName> LookupRegister(RegisterSpace space, uint32_t address) {
    for (const Entry& e : Table()) {
        if (e.space == space && e.address == address) return RegisterName{EntryName(e), e.address, e.fields};
    }
    if (space == RegisterSpace::Main) return LookupLut(address);
    return std::nullopt;
}

std::optional<uint32_t> FindRegister(RegisterSpace space, const std::string& name) {
    for (const Entry& e : Table()) {
        if (e.space == space && EntryName(e) == name) return e.address;
    }
    if (space != RegisterSpace::Main) return std::nullopt;
    for (const Lut& lut : Luts) {
        for (int channel = 1; channel <= 2; ++channel) {
            const std::string prefix = std::string(lut.base) + "[" + std::to_string(channel) + "][";
            if (name.compare(0, prefix.size(), prefix) != 0 || name.back() != ']') continue;
            const std::string digits = name.substr(prefix.size(), name.size() - prefix.size() - 1);
            if (digits.empty() || digits.size() > 3 || digits.find_first_not_of("0123456789") != std::string::npos) {
                return std::nullopt;
            }
            const uint32_t index = static_cast<uint32_t>(std::stoul(digits));
            if (index >= ColourLutEntries) return std::nullopt;
            return lut.address.For(channel) + 4 * index;
        }
    }
    return std::nullopt;
}

std::vector<ListedRegister> AllRegisters() {
    std::vector<ListedRegister> all;
    for (const Entry& e : Table()) all.push_back({e.space, RegisterName{EntryName(e), e.address, e.fields}, 1});
    for (const Lut& lut : Luts) {
        for (int channel = 1; channel <= 2; ++channel) {
            all.push_back({RegisterSpace::Main,
                           RegisterName{std::string(lut.base) + "[" + std::to_string(channel) + "][0]",
                                        lut.address.For(channel), LutEntryFields},
                           ColourLutEntries});
        }
    }
    return all;
}

std::string FieldNames(const RegisterName& reg) {
    // The formatter's keys, read off the text it gives for a zero word.
    std::string names;
    const std::string text = DecodeFields(reg, 0);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        std::string word = text.substr(start, end - start);
        if (!word.empty() && word[0] == '(') word.erase(0, 1);
        const size_t eq = word.find('=');
        if (eq != std::string::npos && eq > 0) names += (names.empty() ? "" : " ") + word.substr(0, eq);
        start = end + 1;
    }
    return names;
}

std::string DecodeFields(const RegisterName& reg, uint32_t value) {
    return reg.fields != nullptr ? reg.fields(value) : std::string();
}

std::optional<std::string> DecoderRegisterName(uint32_t reg) {
    switch (reg) {
        case Decoder::Brightness: return "Brightness";
        case Decoder::Colour: return "Colour";
        case Decoder::Contrast: return "Contrast";
        default: return std::nullopt;
    }
}

bool IsRegisterRegion(RegisterSpace space, uint32_t address) {
    if (space == RegisterSpace::Pci) return true;
    // Peripheral registers (EMIFs and the rest of 0x018xxxxx-0x01Bxxxxx)
    // exist in every DSP; the board logic only in the main DSP's space, the
    // window blocks only in the video DSPs'.
    const bool peripheral = address >= Emif::AGblctl && address < Emif::AGblctl + 0x00400000;
    if (space == RegisterSpace::Video) return peripheral || (address >> 16) == (ChannelControl::Address >> 16);
    const bool bridges = (address >> 16) == (DspResetControl::Address >> 16);
    const bool logic = (address >> 24) == (DisplayControl::Address >> 24);
    return peripheral || bridges || logic;
}

}  // namespace radovl::tool
