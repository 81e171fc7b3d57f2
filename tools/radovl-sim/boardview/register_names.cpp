#include "boardview/register_names.h"

#include <cstdio>
#include <vector>

#include "hw/driver.h"
#include "hw/registers.h"
#include "text/text.h"

namespace radovl::tool {

// A register's decoded fields in the order the word holds them:
// "key=value" items, bare words and parenthesised notes, separated by
// blanks. Keys-only, it collects the names of the key=value items instead,
// for the register listing.
class Fields {
public:
    explicit Fields(bool keysOnly) : keysOnly_(keysOnly) {}
    Fields& Num(const char* key, int64_t value) { return Item(key, std::to_string(value)); }
    Fields& Flag(const char* key, uint32_t value, uint32_t mask) { return Num(key, (value & mask) ? 1 : 0); }
    Fields& Item(const char* key, const std::string& value) {
        if (keysOnly_) return Add(key);
        return Add(std::string(key) + "=" + value);
    }
    Fields& Word(const std::string& word) { return keysOnly_ || word.empty() ? *this : Add(word); }
    Fields& Open() {
        if (!keysOnly_) Add("(");
        return *this;
    }
    Fields& Close() {
        if (!keysOnly_) text_ += ")";
        return *this;
    }
    const std::string& text() const { return text_; }

private:
    Fields& Add(const std::string& part) {
        if (!text_.empty() && text_.back() != '(') text_ += ' ';
        text_ += part;
        return *this;
    }
    bool keysOnly_;
    std::string text_;
};

namespace {

int32_t RowOf(uint32_t value) { return static_cast<int32_t>(FieldGet(Position::Row, value)); }
int32_t ColumnOf(uint32_t value) { return static_cast<int32_t>(FieldGet(Position::Column, value)); }

// A position word as the monitor-relative point it encodes, and the raw
// fields: "x=100 y=50 (col=158 row=50)".
void PositionText(Fields& f, int32_t column, int32_t row, int32_t columnOffset, int32_t rowOffset) {
    f.Num("x", column - columnOffset).Num("y", row - rowOffset).Open().Num("col", column).Num("row", row).Close();
}

void MixerPosition(uint32_t v, Fields& f) { PositionText(f, ColumnOf(v), RowOf(v), PixelOffset::MixerColumn, 0); }
void VideoPosition(uint32_t v, Fields& f) { PositionText(f, ColumnOf(v), RowOf(v), PixelOffset::DspColumn, 0); }
void ArStartPosition(uint32_t v, Fields& f) {
    PositionText(f, ColumnOf(v), RowOf(v), PixelOffset::ArStartColumn, PixelOffset::ArStartRow);
}
void ArEndPosition(uint32_t v, Fields& f) { PositionText(f, ColumnOf(v), RowOf(v), PixelOffset::ArEndColumn, 0); }
void TvStartPosition(uint32_t v, Fields& f) {
    PositionText(f, ColumnOf(v), RowOf(v), PixelOffset::TvColumn, PixelOffset::TvRow);
}
void FramePosition(uint32_t v, Fields& f) { f.Num("col", ColumnOf(v)).Num("row", RowOf(v)); }

void MiniStartFields(uint32_t v, Fields& f) {
    f.Flag("shown", v, MiniStart::Shown);
    PositionText(f, static_cast<int32_t>(FieldGet(MiniStart::Column, v)),
                 static_cast<int32_t>(FieldGet(MiniStart::Row, v)), PixelOffset::MixerColumn, 0);
}
void MiniDspStartFields(uint32_t v, Fields& f) {
    PositionText(f, static_cast<int32_t>(FieldGet(MiniDspStart::Column, v)),
                 static_cast<int32_t>(FieldGet(MiniDspStart::Row, v)), PixelOffset::DspColumn, 0);
}

std::string ChannelBits(uint32_t v, ChannelRegister bit, const char* kind) {
    std::string out;
    if (v & bit.channel1) out += std::string(out.empty() ? "" : ",") + kind + "1";
    if (v & bit.channel2) out += std::string(out.empty() ? "" : ",") + kind + "2";
    return out;
}

const char* PriorityText(uint32_t v, uint32_t bit) { return (v & bit) ? "ch1" : "ch2"; }

void DisplayControlFields(uint32_t v, Fields& f) {
    std::string shown = ChannelBits(v, DisplayControl::PpiShown, "PPI");
    const std::string tv = ChannelBits(v, DisplayControl::TvShown, "TV");
    const std::string ar = ChannelBits(v, DisplayControl::ArShown, "AR");
    for (const std::string* s : {&tv, &ar}) {
        if (!s->empty()) shown += (shown.empty() ? "" : ",") + *s;
    }
    f.Num("prop", FieldGet(DisplayControl::ScreenProperty, v)).Item("shown", shown.empty() ? "-" : shown);
    f.Item("ppiPri", PriorityText(v, DisplayControl::PpiPriority))
        .Item("tvPri", PriorityText(v, DisplayControl::TvPriority))
        .Item("arPri", PriorityText(v, DisplayControl::ArPriority));
}

void TestAndCombineFields(uint32_t v, Fields& f) { f.Flag("combined", v, TestAndCombine::VideoCombined); }

void TvKeyControlFields(uint32_t v, Fields& f) {
    f.Item("key", RgbText(FieldGet(TvKeyControl::ColourKey, v)))
        .Flag("onTop", v, TvKeyControl::OnTop)
        .Flag("out", v, TvKeyControl::OutputSelect);
}

void PpiKeyControlFields(uint32_t v, Fields& f) {
    f.Flag("overlay", v, PpiKeyControl::OverlayEnable)
        .Flag("onTop", v, PpiKeyControl::OnTop)
        .Flag("out", v, PpiKeyControl::OutputSelect);
}

// "RG" for a yellow echo colour, "-" for none.
std::string ArColourLetters(uint32_t v) {
    const uint32_t rgb = ArKeyControl::RgbOf(v);
    std::string letters;
    for (const auto& [mask, letter] : {std::pair{Rgb::Red, 'R'}, std::pair{Rgb::Green, 'G'}, std::pair{Rgb::Blue, 'B'}}) {
        if (rgb & mask) letters += letter;
    }
    return letters.empty() ? "-" : letters;
}

void ArKeyControlFields(uint32_t v, Fields& f) {
    f.Item("key", RgbText(FieldGet(ArKeyControl::ColourKey, v))).Item("colour", ArColourLetters(v));
}

std::string Printed(const char* format, double value) {
    char text[48];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

void ScaleText(Fields& f, const char* key, uint32_t units) {
    f.Num(key, units).Word(Printed("(%.3f)", units / static_cast<double>(TvScale::Unit)));
}

void TvScaleFields(uint32_t v, Fields& f) {
    ScaleText(f, "h", FieldGet(TvScale::Horizontal, v));
    ScaleText(f, "v", FieldGet(TvScale::Vertical, v));
}

void MarkerFields(uint32_t v, Fields& f) { f.Word(v == MainMarkerWord::Value ? "marker" : ""); }

void LutEntryFields(uint32_t v, Fields& f) { f.Word(RgbText(v & Rgb::All)); }

void I2cControlFields(uint32_t v, Fields& f) {
    f.Flag("enable", v, I2cControl::CoreEnable).Flag("irq", v, I2cControl::InterruptEnable);
}

void I2cCommandFields(uint32_t v, Fields& f) {
    if (v & I2cCommand::Start) f.Word("start");
    if (v & I2cCommand::Stop) f.Word("stop");
    if (v & I2cCommand::Write) f.Word("write");
}

void DspResetControlFields(uint32_t v, Fields& f) {
    f.Flag("dsp0", v, DspResetControl::Release.dsp0).Flag("dsp1", v, DspResetControl::Release.dsp1);
}

void DspResetEnableFields(uint32_t v, Fields& f) { f.Flag("hold", v, DspResetEnable::Hold); }

void BridgeControlFields(uint32_t v, Fields& f) {
    f.Word(v == BridgeControl::Access ? "access" : v == BridgeControl::Start ? "start" : "");
}

void ChannelControlFields(uint32_t v, Fields& f) {
    f.Num("tvMode", FieldGet(ChannelControl::TvMode, v))
        .Num("rdP2p", (v & ChannelControl::RdP2p) == ChannelControl::RdP2p ? 1 : 0)
        .Flag("bit4", v, ChannelControl::WindowsTouched)
        .Flag("bit5", v, ChannelControl::PpiClearedAtOpen)
        .Flag("mini", v, ChannelControl::MiniShown)
        .Flag("ppi", v, ChannelControl::PpiShown);
}

void PpiFlagsFields(uint32_t v, Fields& f) {
    f.Flag("scan", v, PpiFlags::Scan).Num("frozen", (v & PpiFlags::Frozen) == PpiFlags::Frozen ? 1 : 0);
}

void PpiTailsFields(uint32_t v, Fields& f) {
    f.Num("tail", FieldGet(PpiTails::Tail, v)).Num("lineTail", FieldGet(PpiTails::LineTail, v));
}

const char* PpiModeName(uint32_t mode) {
    switch (mode) {
        case PpiControl::ModeCentred: return "centred";
        case PpiControl::ModeCornerHeight: return "corner-h";
        case PpiControl::ModeCornerWidth: return "corner-w";
        default: return "none";
    }
}

void PpiControlFields(uint32_t v, Fields& f) {
    f.Item("mode", PpiModeName(v & PpiControl::Mode)).Flag("rdP2p", v, BlockRdP2p);
}

void SizeFields(uint32_t v, Fields& f) { f.Num("w", FieldGet(PpiSize::Width, v)).Num("h", FieldGet(PpiSize::Height, v)); }

void PpiGateFields(uint32_t v, Fields& f) {
    f.Num("gate", FieldGet(PpiGate::Gate, v)).Num("distHi", FieldGet(PpiGate::DistanceHigh, v));
}

void PpiScaleFields(uint32_t v, Fields& f) {
    f.Num("step", FieldGet(PpiScale::Step, v)).Num("distLo", FieldGet(PpiScale::DistanceLow, v));
}

void PpiRangeFields(uint32_t v, Fields& f) { f.Num("range", FieldGet(PpiRange::Range, v)); }

void AngleText(Fields& f, const char* key, uint32_t units, double perTurn) {
    f.Num(key, units).Word(Printed("(%.2f deg)", units * 360.0 / perTurn));
}

void PpiHeadingFields(uint32_t v, Fields& f) {
    AngleText(f, "heading", FieldGet(PpiHeading::Direction, v), PpiHeading::UnitsPerTurn);
}

void MiniControlFields(uint32_t v, Fields& f) {
    const uint32_t mode = v & MiniControl::Mode;
    f.Item("mode", mode == MiniControl::ModeCentred ? "centred" : mode == MiniControl::ModeCorner ? "corner" : "other")
        .Flag("rdP2p", v, BlockRdP2p);
}

void MiniDirectionFields(uint32_t v, Fields& f) {
    AngleText(f, "dir", FieldGet(MiniDirection::Direction, v), MiniDirection::UnitsPerTurn);
    f.Num("offset", FieldGet(MiniDirection::Offset, v));
}

void MiniOffsetFields(uint32_t v, Fields& f) { f.Num("offset", FieldGet(MiniOffset::Offset, v)); }

void MiniScaleFields(uint32_t v, Fields& f) {
    f.Num("zoom", FieldGet(MiniScale::Zoom, v))
        .Num("step", FieldGet(MiniScale::Step, v))
        .Num("dist", FieldGet(MiniScale::Distance, v));
}

void MiniRangeFields(uint32_t v, Fields& f) { f.Num("range", FieldGet(MiniRange::Range, v)); }

void ArBandControlFields(uint32_t v, Fields& f) { f.Flag("band", v, ArBandEnable).Flag("rdP2p", v, BlockRdP2p); }

void ArSizeFields(uint32_t v, Fields& f) {
    f.Num("w", FieldGet(ArUpperSize::Width, v)).Num("halfH", FieldGet(ArUpperSize::HalfHeight, v));
}

void ArDistanceFields(uint32_t v, Fields& f) { f.Num("dist", FieldGet(ArDistance::Distance, v)); }

void ArGateFields(uint32_t v, Fields& f) {
    f.Num("gate", FieldGet(ArGate::Gate, v)).Num("distHi", FieldGet(ArGate::DistanceHigh, v));
}

void PciControlFields(uint32_t v, Fields& f) {
    f.Flag("reset", v, PciControl::ResetDsp)
        .Flag("interrupt", v, PciControl::InterruptDsp)
        .Flag("bootMode", v, PciControl::BootMode);
}

void PciPageFields(uint32_t v, Fields& f) {
    f.Num("page", v & PciPage::Number).Word("(" + Hex(FieldPrep(PciPage::AddressPage, FieldGet(PciPage::Number, v))) + ")");
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

// Each register once, by its name in the register map: the macros make the
// name shown from the constant's own name.
#define PCI(name, fields) t.push_back({RegisterSpace::Pci, #name, name::Offset, 0, fields})
#define ONE(space, name, fields) t.push_back({RegisterSpace::space, #name, name::Address, 0, fields})
#define PAIR(name, fields) AddChannelPair(t, RegisterSpace::Main, #name, name::Address, fields)

std::vector<Entry> BuildTable() {
    using S = RegisterSpace;
    std::vector<Entry> t;
    // PCI interface.
    PCI(PciStatus, nullptr);
    PCI(PciControl, PciControlFields);
    PCI(PciPage, PciPageFields);

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
    ONE(Main, DspResetControl, DspResetControlFields);
    ONE(Main, DspResetEnable, DspResetEnableFields);
    PAIR(BridgeControl, BridgeControlFields);
    PAIR(BridgeAddress, nullptr);
    PAIR(BridgeData, nullptr);
    ONE(Main, DisplayControl, DisplayControlFields);
    ONE(Main, TestAndCombine, TestAndCombineFields);
    PAIR(TvKeyControl, TvKeyControlFields);
    PAIR(PpiKeyControl, PpiKeyControlFields);
    PAIR(ArKeyControl, ArKeyControlFields);
    PAIR(MiniStart, MiniStartFields);
    PAIR(MiniEnd, MixerPosition);
    PAIR(PpiStart, MixerPosition);
    PAIR(PpiEnd, MixerPosition);
    PAIR(ArStart, ArStartPosition);
    PAIR(ArEnd, ArEndPosition);
    PAIR(TvStart, TvStartPosition);
    PAIR(TvCaptureStart, FramePosition);
    PAIR(TvCaptureEnd, FramePosition);
    PAIR(TvScale, TvScaleFields);
    ONE(Main, MainMarkerWord, MarkerFields);
    ONE(Main, I2cPrescaleLow, nullptr);
    ONE(Main, I2cPrescaleHigh, nullptr);
    ONE(Main, I2cControl, I2cControlFields);
    ONE(Main, I2cData, nullptr);
    ONE(Main, I2cCommand, I2cCommandFields);

    // Video DSP space.
    ONE(Video, ChannelControl, ChannelControlFields);
    ONE(Video, PpiFlags, PpiFlagsFields);
    ONE(Video, VideoStartupWord, nullptr);
    ONE(Video, PpiTails, PpiTailsFields);
    ONE(Video, ArEndMirror, ArEndPosition);
    ONE(Video, PpiControl, PpiControlFields);
    ONE(Video, PpiDspStart, VideoPosition);
    ONE(Video, PpiSize, SizeFields);
    ONE(Video, PpiGate, PpiGateFields);
    ONE(Video, PpiCentre, VideoPosition);
    ONE(Video, PpiScale, PpiScaleFields);
    ONE(Video, PpiRange, PpiRangeFields);
    ONE(Video, PpiHeading, PpiHeadingFields);
    ONE(Video, MiniControl, MiniControlFields);
    ONE(Video, MiniDspStart, MiniDspStartFields);
    ONE(Video, MiniSize, SizeFields);
    ONE(Video, MiniDirection, MiniDirectionFields);
    ONE(Video, MiniGate, PpiGateFields);
    ONE(Video, MiniCentre, VideoPosition);
    ONE(Video, MiniOffset, MiniOffsetFields);
    ONE(Video, MiniScale, MiniScaleFields);
    ONE(Video, MiniRange, MiniRangeFields);
    ONE(Video, ArUpperControl, ArBandControlFields);
    ONE(Video, ArUpperStart, ArStartPosition);
    ONE(Video, ArUpperSize, ArSizeFields);
    ONE(Video, ArDistance, ArDistanceFields);
    ONE(Video, ArGate, ArGateFields);
    ONE(Video, ArUpperPresetA, nullptr);
    ONE(Video, ArUpperPresetB, nullptr);
    ONE(Video, ArLowerControl, ArBandControlFields);
    ONE(Video, ArLowerStart, ArStartPosition);
    ONE(Video, ArLowerSize, ArSizeFields);
    ONE(Video, ArLowerPresetA, nullptr);
    ONE(Video, ArLowerPresetB, nullptr);
    ONE(Video, DistancePointer, nullptr);
    ONE(Video, FallbackTestWord, nullptr);
    return t;
}

#undef PCI
#undef ONE
#undef PAIR

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
    Fields keys(true);
    if (reg.fields != nullptr) reg.fields(0, keys);
    return keys.text();
}

std::string DecodeFields(const RegisterName& reg, uint32_t value) {
    Fields fields(false);
    if (reg.fields != nullptr) reg.fields(value, fields);
    return fields.text();
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
