#include "settingsschema.h"

#include <algorithm>
#include <unordered_map>

namespace zelp::SettingsSchema {

namespace {

// The standard 16-colour palette, as RGB colour values (red in the low byte).
constexpr int32_t kStandardPalette[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

std::vector<SettingDef> buildTable() {
    std::vector<SettingDef> table = {
        {"sSessionTitle", ValueType::Text, std::string(""), "Session", "Session title",
         "SessionTitle", 3},
        {"Pinned", ValueType::Int16, int16_t(0), "Session", "Pinned settings", ""},
        {"sTermType", ValueType::Int32, int32_t(0), "Session", "Terminal emulation", "TermType", 5},
        {"sHostName", ValueType::Text, std::string(""), "Network", "Host name", "HostName", 35},
        {"sHostPort", ValueType::Text, std::string(""), "Network", "Host port", "HostPort", 36},
        {"sConnectTimeout", ValueType::Int16, int16_t(0), "Network", "Connect time-out (seconds)",
         "ConnectTimeout", 37},
        {"sAutoAnswer", ValueType::Bool, false, "Network", "Answer automatically", "AutoAnswer",
         38},
        {"sHostTermType", ValueType::Text, std::string(""), "Network",
         "Terminal type sent to the host", "HostTermType", 39},
        {"sTelnetOptions", ValueType::Int16, int16_t(0), "Network", "Telnet options",
         "TelnetOptions", 40},
        {"sTelnetFlags", ValueType::Int16, int16_t(0), "Network", "Telnet flags", "TelnetFlags",
         41},
        {"sHostType", ValueType::Text, std::string(""), "Network", "Host type", "HostType", 42},
        {"sDevice", ValueType::Int32, int32_t(0), "Serial line", "Device", "Device", 4},
        {"sAnswerBack", ValueType::Text, std::string(""), "Serial line", "Answerback message",
         "AnswerBack", 6},
        {"sPort", ValueType::Int16, int16_t(0), "Serial line", "Port", "Port", 7},
        {"sBaud", ValueType::Int32, int32_t(4), "Serial line", "Baud rate", "Baud", 8},
        {"sParity", ValueType::Int32, int32_t(0), "Serial line", "Parity", "Parity", 9},
        {"sDataBits", ValueType::Int16, int16_t(8), "Serial line", "Data bits", "DataBits", 10},
        {"sStopBits", ValueType::Int16, int16_t(1), "Serial line", "Stop bits", "StopBits", 11},
        {"sHandshake", ValueType::Int32, int32_t(0), "Serial line", "Handshake", "HandShake", 12},
        {"sDuplex", ValueType::Int32, int32_t(0), "Serial line", "Duplex", "Duplex", 13},
        {"sStrip8th", ValueType::Bool, false, "Serial line", "Strip the 8th bit", "Strip8th", 14},
        {"sOverrideCfg", ValueType::Int16, int16_t(0), "Serial line", "Override configuration",
         "OverrideCfg", 15},
        {"sLockBaudRate", ValueType::Bool, false, "Serial line", "Lock baud rate", "LockBaudRate",
         64},
        {"sFontName", ValueType::Text, std::string(""), "Screen", "Font name", "FontName", 43},
        {"sFontSize", ValueType::Int16, int16_t(0), "Screen", "Font size", "FontSize", 44},
        {"sScaleFont", ValueType::Bool, true, "Screen", "Scale font to window", "ScaleFont", 45},
        {"sBoldFont", ValueType::Bool, false, "Screen", "Bold font", "BoldFont", 46},
        {"sLegibleFont", ValueType::Bool, false, "Screen", "Legible font", "LegibleFont", 47},
        {"sNormCols", ValueType::Int16, int16_t(80), "Screen", "Columns", "NormCols", 48},
        {"sNormRows", ValueType::Int16, int16_t(24), "Screen", "Rows", "NormRows", 49},
        {"sExtCols", ValueType::Int16, int16_t(132), "Screen", "Columns in extended mode",
         "ExtCols", 50},
        {"sExtRows", ValueType::Int16, int16_t(24), "Screen", "Rows in extended mode", "ExtRows",
         51},
        {"sScrMode", ValueType::Int16, int16_t(0), "Screen", "Screen mode", "ExtMode", 58},
        {"sPages", ValueType::Int16, int16_t(1), "Screen", "Pages", "Pages", 52},
        {"sHistoryRows", ValueType::Int16, int16_t(0), "Screen", "History rows", "HistoryRows", 53},
        {"sGmodeEnable", ValueType::Bool, false, "Screen", "Graphics mode", "GmodeEnable", 54},
        {"sMouseEnable", ValueType::Bool, false, "Screen", "Mouse enabled", "MouseEnable", 55},
        {"sScrAutoFwd", ValueType::Bool, false, "Screen", "Automatic forward", "ScrAutoFwd", 56},
        {"sCursorType", ValueType::Bool, false, "Screen", "Block cursor", "BlockCursor", 57},
        {"sProtectAttr", ValueType::Int16, int16_t(0), "Screen", "Protect attribute", "ProtectAttr",
         59},
        {"sAttributeMask", ValueType::Int16, int16_t(10), "Screen", "Attribute mask",
         "AttributeMask", 60},
        {"sScrollMode", ValueType::Int16, int16_t(2), "Screen", "Scroll mode", "ScrollMode", 61},
        {"sSound", ValueType::Text, std::string(""), "Screen", "Sound", "Sound", 62},
        {"sPrinterName", ValueType::Text, std::string("No Printer"), "Printer", "Printer",
         "Printer", 16},
        {"sPrinterColorMode", ValueType::Int16, int16_t(0), "Printer", "Colour mode",
         "PrinterColorMode", 17},
        {"sPrinterFontBold", ValueType::Bool, false, "Printer", "Bold font", "PrinterFontBold", 18},
        {"sPrinterFontItalic", ValueType::Bool, false, "Printer", "Italic font",
         "PrinterFontItalic", 19},
        {"sPrinterFontName", ValueType::Text, std::string(""), "Printer", "Font name",
         "PrinterFontName", 20},
        {"sPrinterFontSize", ValueType::Int16, int16_t(10), "Printer", "Font size",
         "PrinterFontSize", 21},
        {"sPrinterOrientation", ValueType::Int16, int16_t(0), "Printer", "Orientation",
         "PrinterOrientation", 22},
        {"sPrinterPaperSize", ValueType::Int16, int16_t(0), "Printer", "Paper size",
         "PrinterPaperSize", 23},
        {"sPrinterPaperSource", ValueType::Int16, int16_t(0), "Printer", "Paper source",
         "PrinterPaperSource", 24},
        {"sPrinterTimeout", ValueType::Int16, int16_t(5), "Printer", "Time-out (seconds)",
         "PrinterTimeout", 25},
        {"sPrintJobEject", ValueType::Int16, int16_t(0), "Printer", "Eject after a print job",
         "PrintJobEject", 26},
        {"sPrintScreenBackground", ValueType::Int16, int16_t(0), "Printer",
         "Print the screen background", "PrintScreenBackground", 27},
        {"sPrintScreenEject", ValueType::Int16, int16_t(0), "Printer", "Eject after a screen print",
         "PrintScreenEject", 28},
        {"sScreenPrintMode", ValueType::Int16, int16_t(0), "Printer", "Screen print mode",
         "ScreenPrintMode", 29},
        {"sSlavePrintMode", ValueType::Int16, int16_t(0), "Printer", "Slave print mode",
         "SlavePrintMode", 30},
        {"sPasteEOLMode", ValueType::Int16, int16_t(0), "Paste", "End-of-line mode", "PasteEOLMode",
         31},
        {"sPasteEOLChar", ValueType::Int16, int16_t(0), "Paste", "End-of-line character",
         "PasteEOLChar", 32},
        {"sPasteEOFMode", ValueType::Int16, int16_t(0), "Paste", "End-of-file mode", "PasteEOFMode",
         33},
        {"sPasteEOFChar", ValueType::Int16, int16_t(0), "Paste", "End-of-file character",
         "PasteEOFChar", 34},
        {"sMapUpperFkeys", ValueType::Bool, true, "Keyboard", "Map the upper function keys",
         "MapUpperFKeys", 63},
        {"FKeys", ValueType::Text, std::string(""), "Keyboard", "Defined keys", ""},
        {"sDefaultCaptureDir", ValueType::Text, std::string(""), "File transfer", "Capture folder",
         "CaptureDir", 68},
        {"sDefaultXferDir", ValueType::Text, std::string(""), "File transfer", "Transfer folder",
         "DefaultXferDir", 69},
        {"sDefaultXferMode", ValueType::Bool, false, "File transfer", "Binary transfer",
         "DefaultXferMode", 70},
        {"sDefaultXferOverwrite", ValueType::Int16, int16_t(0), "File transfer",
         "Overwrite existing files", "DefaultXferOver", 71},
        {"sAsciiEOL", ValueType::Int16, int16_t(0), "File transfer", "ASCII end of line",
         "AsciiEOL", 72},
        {"sAsciiDelay", ValueType::Int16, int16_t(350), "File transfer", "ASCII line delay (ms)",
         "AsciiDelay", 73},
        {"sXModemTimeout", ValueType::Int16, int16_t(10), "File transfer", "XModem time-out",
         "XmodemTimeout", 74},
        {"sYModemTimeout", ValueType::Int16, int16_t(10), "File transfer", "YModem time-out",
         "YmodemTimeout", 75},
        {"sZModemTimeout", ValueType::Int16, int16_t(10), "File transfer", "ZModem time-out",
         "ZmodemTimeout", 76},
        {"sZModemAuto", ValueType::Bool, false, "File transfer", "Automatic ZModem", "AutoZmodem",
         84},
        {"sKermitTimeout", ValueType::Int16, int16_t(10), "File transfer", "Kermit time-out",
         "KermitTimeout", 77},
        {"sKermitInitRetry", ValueType::Int16, int16_t(30), "File transfer",
         "Kermit initial retries", "KermitInitRetry", 78},
        {"sKermitErrRetry", ValueType::Int16, int16_t(10), "File transfer", "Kermit error retries",
         "KermitErrRetry", 79},
        {"sKermitEOL", ValueType::Int16, int16_t(13), "File transfer", "Kermit end of line",
         "KermitEOL", 80},
        {"sKermitQuote", ValueType::Bool, true, "File transfer", "Kermit quoting", "KermitQuote",
         81},
        {"sKermitRept", ValueType::Bool, false, "File transfer", "Kermit repeat counts",
         "KermitRept", 82},
        {"sKermitCRC", ValueType::Bool, false, "File transfer", "Kermit CRC", "KermitCRC", 83},
    };
    // The colours and keys are numbered; they go after their group's other settings.
    auto insertAfterGroup = [&table](const std::string &group, std::vector<SettingDef> rows) {
        auto last = std::find_if(table.rbegin(), table.rend(),
                                 [&](const SettingDef &d) { return d.group == group; });
        table.insert(last.base(), rows.begin(), rows.end());
    };
    std::vector<SettingDef> colours;
    for (int i = 0; i < 16; ++i) {
        colours.push_back({"sPalette" + std::to_string(i), ValueType::Double,
                           double(kStandardPalette[i]), "Colours",
                           "Palette colour " + std::to_string(i), ""});
    }
    // Attribute i shows in palette colour i mod 16 until the user maps it otherwise.
    for (int i = 0; i < 64; ++i) {
        colours.push_back({"sAttrColor" + std::to_string(i), ValueType::Double, double(i % 16),
                           "Colours", "Attribute colour " + std::to_string(i), ""});
    }
    insertAfterGroup("Screen", std::move(colours));
    std::vector<SettingDef> keys;
    for (int i = 1; i <= 12; ++i) {
        const std::string key = "F" + std::to_string(i);
        keys.push_back({std::string(kFunctionKeyPrefix) + key, ValueType::Text, std::string(),
                        "Keyboard", "Key " + key, ""});
    }
    insertAfterGroup("Keyboard", std::move(keys));
    return table;
}

} // namespace

const std::vector<SettingDef> &all() {
    static const std::vector<SettingDef> table = buildTable();
    return table;
}

std::optional<SettingDef> find(std::string_view name) {
    static const auto index = [] {
        std::unordered_map<std::string_view, const SettingDef *> map;
        for (const SettingDef &d : all()) {
            map.emplace(d.name, &d);
        }
        return map;
    }();
    if (auto it = index.find(name); it != index.end()) {
        return *it->second;
    }
    if (name.size() > kFunctionKeyPrefix.size() && name.starts_with(kFunctionKeyPrefix)) {
        const std::string key(name.substr(kFunctionKeyPrefix.size()));
        return SettingDef{std::string(name), ValueType::Text, std::string(),
                          "Keyboard",        "Key " + key,    ""};
    }
    return std::nullopt;
}

const std::vector<std::string> &groups() {
    static const std::vector<std::string> list = [] {
        std::vector<std::string> names;
        for (const SettingDef &d : all()) {
            if (std::find(names.begin(), names.end(), d.group) == names.end()) {
                names.push_back(d.group);
            }
        }
        return names;
    }();
    return list;
}

const char *refusal(std::string_view name, const PropertyValue &value) {
    if (name != "sHostPort" || !std::holds_alternative<std::string>(value)) {
        return nullptr;
    }
    std::string_view text = std::get<std::string>(value);
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    if (text.empty()) {
        return nullptr;
    }
    long port = 0;
    for (const char c : text) {
        if (c < '0' || c > '9' || port > 65535) {
            return "port";
        }
        port = port * 10 + (c - '0');
    }
    return port >= 1 && port <= 65535 ? nullptr : "port";
}

} // namespace zelp::SettingsSchema
