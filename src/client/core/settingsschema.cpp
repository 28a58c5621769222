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
         "SessionTitle"},
        {"Pinned", ValueType::Int16, int16_t(0), "Session", "Pinned settings", ""},
        {"sTermType", ValueType::Int32, int32_t(0), "Session", "Terminal emulation", "TermType"},
        {"sHostName", ValueType::Text, std::string(""), "Network", "Host name", "HostName"},
        {"sHostPort", ValueType::Text, std::string(""), "Network", "Host port", "HostPort"},
        {"sConnectTimeout", ValueType::Int16, int16_t(0), "Network", "Connect time-out (seconds)",
         "ConnectTimeout"},
        {"sAutoAnswer", ValueType::Bool, false, "Network", "Answer automatically", "AutoAnswer"},
        {"sHostTermType", ValueType::Text, std::string(""), "Network",
         "Terminal type sent to the host", "HostTermType"},
        {"sTelnetOptions", ValueType::Int16, int16_t(0), "Network", "Telnet options",
         "TelnetOptions"},
        {"sTelnetFlags", ValueType::Int16, int16_t(0), "Network", "Telnet flags", "TelnetFlags"},
        {"sHostType", ValueType::Text, std::string(""), "Network", "Host type", "HostType"},
        {"sDevice", ValueType::Int32, int32_t(0), "Serial line", "Device", "Device"},
        {"sAnswerBack", ValueType::Text, std::string(""), "Serial line", "Answerback message",
         "AnswerBack"},
        {"sPort", ValueType::Int16, int16_t(0), "Serial line", "Port", "Port"},
        {"sBaud", ValueType::Int32, int32_t(4), "Serial line", "Baud rate", "Baud"},
        {"sParity", ValueType::Int32, int32_t(0), "Serial line", "Parity", "Parity"},
        {"sDataBits", ValueType::Int16, int16_t(8), "Serial line", "Data bits", "DataBits"},
        {"sStopBits", ValueType::Int16, int16_t(1), "Serial line", "Stop bits", "StopBits"},
        {"sHandshake", ValueType::Int32, int32_t(0), "Serial line", "Handshake", "HandShake"},
        {"sDuplex", ValueType::Int32, int32_t(0), "Serial line", "Duplex", "Duplex"},
        {"sStrip8th", ValueType::Bool, false, "Serial line", "Strip the 8th bit", "Strip8th"},
        {"sOverrideCfg", ValueType::Int16, int16_t(0), "Serial line", "Override configuration",
         "OverrideCfg"},
        {"sLockBaudRate", ValueType::Bool, false, "Serial line", "Lock baud rate", "LockBaudRate"},
        {"sFontName", ValueType::Text, std::string(""), "Screen", "Font name", "FontName"},
        {"sFontSize", ValueType::Int16, int16_t(0), "Screen", "Font size", "FontSize"},
        {"sScaleFont", ValueType::Bool, true, "Screen", "Scale font to window", "ScaleFont"},
        {"sBoldFont", ValueType::Bool, false, "Screen", "Bold font", "BoldFont"},
        {"sLegibleFont", ValueType::Bool, false, "Screen", "Legible font", "LegibleFont"},
        {"sNormCols", ValueType::Int16, int16_t(80), "Screen", "Columns", "NormCols"},
        {"sNormRows", ValueType::Int16, int16_t(24), "Screen", "Rows", "NormRows"},
        {"sExtCols", ValueType::Int16, int16_t(132), "Screen", "Columns in extended mode",
         "ExtCols"},
        {"sExtRows", ValueType::Int16, int16_t(24), "Screen", "Rows in extended mode", "ExtRows"},
        {"sScrMode", ValueType::Int16, int16_t(0), "Screen", "Screen mode", "ExtMode"},
        {"sPages", ValueType::Int16, int16_t(1), "Screen", "Pages", "Pages"},
        {"sHistoryRows", ValueType::Int16, int16_t(0), "Screen", "History rows", "HistoryRows"},
        {"sGmodeEnable", ValueType::Bool, false, "Screen", "Graphics mode", "GmodeEnable"},
        {"sMouseEnable", ValueType::Bool, false, "Screen", "Mouse enabled", "MouseEnable"},
        {"sScrAutoFwd", ValueType::Bool, false, "Screen", "Automatic forward", "ScrAutoFwd"},
        {"sCursorType", ValueType::Bool, false, "Screen", "Block cursor", "BlockCursor"},
        {"sProtectAttr", ValueType::Int16, int16_t(0), "Screen", "Protect attribute",
         "ProtectAttr"},
        {"sAttributeMask", ValueType::Int16, int16_t(10), "Screen", "Attribute mask",
         "AttributeMask"},
        {"sScrollMode", ValueType::Int16, int16_t(2), "Screen", "Scroll mode", "ScrollMode"},
        {"sSound", ValueType::Text, std::string(""), "Screen", "Sound", "Sound"},
        {"sPrinterName", ValueType::Text, std::string("No Printer"), "Printer", "Printer",
         "Printer"},
        {"sPrinterColorMode", ValueType::Int16, int16_t(0), "Printer", "Colour mode",
         "PrinterColorMode"},
        {"sPrinterFontBold", ValueType::Bool, false, "Printer", "Bold font", "PrinterFontBold"},
        {"sPrinterFontItalic", ValueType::Bool, false, "Printer", "Italic font",
         "PrinterFontItalic"},
        {"sPrinterFontName", ValueType::Text, std::string(""), "Printer", "Font name",
         "PrinterFontName"},
        {"sPrinterFontSize", ValueType::Int16, int16_t(10), "Printer", "Font size",
         "PrinterFontSize"},
        {"sPrinterOrientation", ValueType::Int16, int16_t(0), "Printer", "Orientation",
         "PrinterOrientation"},
        {"sPrinterPaperSize", ValueType::Int16, int16_t(0), "Printer", "Paper size",
         "PrinterPaperSize"},
        {"sPrinterPaperSource", ValueType::Int16, int16_t(0), "Printer", "Paper source",
         "PrinterPaperSource"},
        {"sPrinterTimeout", ValueType::Int16, int16_t(5), "Printer", "Time-out (seconds)",
         "PrinterTimeout"},
        {"sPrintJobEject", ValueType::Int16, int16_t(0), "Printer", "Eject after a print job",
         "PrintJobEject"},
        {"sPrintScreenBackground", ValueType::Int16, int16_t(0), "Printer",
         "Print the screen background", "PrintScreenBackground"},
        {"sPrintScreenEject", ValueType::Int16, int16_t(0), "Printer", "Eject after a screen print",
         "PrintScreenEject"},
        {"sScreenPrintMode", ValueType::Int16, int16_t(0), "Printer", "Screen print mode",
         "ScreenPrintMode"},
        {"sSlavePrintMode", ValueType::Int16, int16_t(0), "Printer", "Slave print mode",
         "SlavePrintMode"},
        {"sPasteEOLMode", ValueType::Int16, int16_t(0), "Paste", "End-of-line mode",
         "PasteEOLMode"},
        {"sPasteEOLChar", ValueType::Int16, int16_t(0), "Paste", "End-of-line character",
         "PasteEOLChar"},
        {"sPasteEOFMode", ValueType::Int16, int16_t(0), "Paste", "End-of-file mode",
         "PasteEOFMode"},
        {"sPasteEOFChar", ValueType::Int16, int16_t(0), "Paste", "End-of-file character",
         "PasteEOFChar"},
        {"sMapUpperFkeys", ValueType::Bool, true, "Keyboard", "Map the upper function keys",
         "MapUpperFKeys"},
        {"FKeys", ValueType::Text, std::string(""), "Keyboard", "Defined keys", ""},
        {"sDefaultCaptureDir", ValueType::Text, std::string(""), "File transfer", "Capture folder",
         "CaptureDir"},
        {"sDefaultXferDir", ValueType::Text, std::string(""), "File transfer", "Transfer folder",
         "DefaultXferDir"},
        {"sDefaultXferMode", ValueType::Bool, false, "File transfer", "Binary transfer",
         "DefaultXferMode"},
        {"sDefaultXferOverwrite", ValueType::Int16, int16_t(0), "File transfer",
         "Overwrite existing files", "DefaultXferOver"},
        {"sAsciiEOL", ValueType::Int16, int16_t(0), "File transfer", "ASCII end of line",
         "AsciiEOL"},
        {"sAsciiDelay", ValueType::Int16, int16_t(350), "File transfer", "ASCII line delay (ms)",
         "AsciiDelay"},
        {"sXModemTimeout", ValueType::Int16, int16_t(10), "File transfer", "XModem time-out",
         "XmodemTimeout"},
        {"sYModemTimeout", ValueType::Int16, int16_t(10), "File transfer", "YModem time-out",
         "YmodemTimeout"},
        {"sZModemTimeout", ValueType::Int16, int16_t(10), "File transfer", "ZModem time-out",
         "ZmodemTimeout"},
        {"sZModemAuto", ValueType::Bool, false, "File transfer", "Automatic ZModem", "AutoZmodem"},
        {"sKermitTimeout", ValueType::Int16, int16_t(10), "File transfer", "Kermit time-out",
         "KermitTimeout"},
        {"sKermitInitRetry", ValueType::Int16, int16_t(30), "File transfer",
         "Kermit initial retries", "KermitInitRetry"},
        {"sKermitErrRetry", ValueType::Int16, int16_t(10), "File transfer", "Kermit error retries",
         "KermitErrRetry"},
        {"sKermitEOL", ValueType::Int16, int16_t(13), "File transfer", "Kermit end of line",
         "KermitEOL"},
        {"sKermitQuote", ValueType::Bool, true, "File transfer", "Kermit quoting", "KermitQuote"},
        {"sKermitRept", ValueType::Bool, false, "File transfer", "Kermit repeat counts",
         "KermitRept"},
        {"sKermitCRC", ValueType::Bool, false, "File transfer", "Kermit CRC", "KermitCRC"},
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
