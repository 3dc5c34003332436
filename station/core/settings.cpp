#include "settings.h"

#include <cfloat>
#include <charconv>
#include <limits>

namespace {

const char kShippedProgramName[] = "Kelmirt.exe";

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Drops a UTF-8 sequence that a byte limit cut in two.
void DropPartialTail(std::string& text) {
    size_t start = text.size();
    while (start > 0 && IsContinuation(static_cast<unsigned char>(text[start - 1]))) --start;
    if (start == 0) return;
    unsigned char lead = static_cast<unsigned char>(text[start - 1]);
    size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (text.size() - (start - 1) < need) text.resize(start - 1);
}

// Byte offset of the first character of the last n characters (UTF-8).
size_t OffsetOfLastChars(const std::string& text, size_t n) {
    size_t pos = text.size();
    while (n > 0 && pos > 0) {
        --pos;
        while (pos > 0 && IsContinuation(static_cast<unsigned char>(text[pos]))) --pos;
        --n;
    }
    return pos;
}

// Byte length of the first n characters (UTF-8), or the whole text when it is shorter.
size_t OffsetOfFirstChars(const std::string& text, size_t n) {
    size_t pos = 0;
    for (; n > 0 && pos < text.size(); --n) {
        ++pos;
        while (pos < text.size() && IsContinuation(static_cast<unsigned char>(text[pos]))) ++pos;
    }
    return pos;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string Decimal(int64_t value) { return std::to_string(static_cast<long long>(value)); }
std::string Flag(int64_t value) { return value != 0 ? "1" : "0"; }

// Reads one key; false leaves the caller to its default.
bool Read(IProfile& profile, const char* section, const char* key, std::string& text) {
    return ProfileValue(profile, 1, section, key, text);
}
void Write(IProfile& profile, const char* section, const char* key, const std::string& value) {
    std::string text = value;
    ProfileValue(profile, 0, section, key, text);
}

int32_t ReadInt(IProfile& profile, const char* section, const char* key, int32_t def) {
    std::string text;
    return Read(profile, section, key, text) ? SettingsInt(text) : def;
}
float ReadFloat(IProfile& profile, const char* section, const char* key, float def) {
    std::string text;
    return Read(profile, section, key, text) ? SettingsFloat(text) : def;
}

}  // namespace

int32_t SettingsInt(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t value = 0;
    const int64_t limit = negative ? -static_cast<int64_t>(std::numeric_limits<int32_t>::min())
                                   : std::numeric_limits<int32_t>::max();
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > limit) { value = limit; break; }
    }
    return static_cast<int32_t>(negative ? -value : value);
}

float SettingsFloat(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

    // Only the plain decimal form counts: no hexadecimal, no "inf" or "nan".
    std::string number;
    int64_t order = 0;  // decimal position of the first significant digit
    bool significant = false, digits = false;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        number += text[i];
        digits = true;
        if (text[i] != '0') significant = true;
        if (significant) ++order;
    }
    if (i < text.size() && text[i] == '.') {
        number += '.';
        for (++i; i < text.size() && IsDigit(text[i]); ++i) {
            number += text[i];
            digits = true;
            if (!significant && text[i] != '0') significant = true;
            else if (!significant) --order;
        }
    }
    if (!digits) return 0.0f;
    if (!significant) return negative ? -0.0f : 0.0f;
    if (i + 1 < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        bool expNegative = false;
        if (text[j] == '+' || text[j] == '-') expNegative = text[j++] == '-';
        if (j < text.size() && IsDigit(text[j])) {
            int64_t exponent = 0;
            for (; j < text.size() && IsDigit(text[j]); ++j)
                if (exponent < 100000) exponent = exponent * 10 + (text[j] - '0');
            order += expNegative ? -exponent : exponent;
            number += expNegative ? "e-" : "e";
            number += std::to_string(static_cast<long long>(exponent));
        }
    }
    float value = 0.0f;
    auto r = std::from_chars(number.data(), number.data() + number.size(), value);
    if (r.ec == std::errc::result_out_of_range)
        value = order > 0 ? FLT_MAX : 0.0f;  // stay finite: later steps turn these into integers
    return negative ? -value : value;
}

std::string SettingsFixed(double value, int digits) {
    char buf[512];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, digits);
    if (r.ec != std::errc()) return std::string();
    return std::string(buf, r.ptr);
}

std::string StationSettingsPath(const std::string& modulePath) {
    // A fixed count, as the program has always done, not a search for the separator.
    const size_t nameLength = sizeof kShippedProgramName - 1;
    return modulePath.substr(0, OffsetOfLastChars(modulePath, nameLength)) + "\\Kelmirt.ini";
}

bool ProfileValue(IProfile& profile, uint8_t mode, const char* section, const char* key,
                  std::string& text) {
    if (mode == 0) {
        profile.WriteString(section, key, text);  // a failed write is not reported
        return true;
    }
    if (mode != 1) return true;
    // The limit counts characters: a Chinese name must not shrink to a third of its room
    // because UTF-8 spends three bytes on each of its characters.
    text = profile.ReadString(section, key, std::string(), kProfileValueMax * 4);
    DropPartialTail(text);
    text.resize(OffsetOfFirstChars(text, kProfileValueMax));
    return !text.empty();
}

uint8_t ChooseStartupLanguage(IProfile& profile, uint16_t systemLangId) {
    std::string lan = profile.ReadString("Language", "Lan", "default.fil", kProfileValueMax);
    if (!lan.empty()) return lan == "Chinese" ? 0 : 1;
    const char* word = systemLangId == 0x0804 ? "Chinese" : "English";
    profile.WriteString("Language", "Lan", word);
    return systemLangId == 0x0804 ? 0 : 1;
}

void LoadSettings(IProfile& profile, const std::string& tempFolder, StationSettings& s,
                  const StationSettingsLoadHooks* hooks) {
    std::string text;

    s.currentCom = static_cast<uint8_t>(ReadInt(profile, "COM", "CurrentCom", 1) & 0xFF);
    s.baudRate = ReadInt(profile, "COM", "BaudRate", 9600);
    s.waitSecond = ReadInt(profile, "AutoGET", "WaitSecond", 1);
    if (hooks && hooks->afterComReads) hooks->afterComReads();

    if (Read(profile, "Model", "Mode", text)) {
        // In 64 bits, so that the lowest number does not wrap round.
        int64_t index = static_cast<int64_t>(SettingsInt(text)) - 1;
        if (index > 2) index = 2;
        if (index < std::numeric_limits<int32_t>::min()) index = std::numeric_limits<int32_t>::min();
        s.modelIndex = static_cast<int32_t>(index);
    } else {
        s.modelIndex = 0;
    }
    if (hooks && hooks->afterModel) hooks->afterModel();

    // The stored folder never takes effect: exports always go to the temporary folder.
    s.exportFolder = Read(profile, "AutoGET", "ColExportPath", text) ? text : " ";
    s.exportFolder = tempFolder;
    s.exportFileName = Read(profile, "AutoGET", "ColExportFilename", text) ? text : " ";

    s.usePresetPa = ReadInt(profile, "CutConfig", "UsePresetPa", 0);
    if (s.usePresetPa > 1) s.usePresetPa = 0;
    for (int pen = 1; pen <= 8; ++pen) {
        std::string key = "SP" + std::to_string(pen);
        int32_t preset = ReadInt(profile, "CutConfig", key.c_str(), 1);
        s.penPresets[pen - 1] = preset > 8 || preset < 1 ? 1 : preset;
    }

    s.dashedMode = ReadInt(profile, "CutConfig", "DashedMode", 0) != 0 ? 1 : 0;
    s.cutImageMode = ReadInt(profile, "CutConfig", "CutImageMode", 0) != 0 ? 1 : 0;
    s.closeEnble = ReadInt(profile, "CutConfig", "CloseEnble", 0) != 0 ? 1 : 0;
    s.segEnble = ReadInt(profile, "CutConfig", "SegEnble", 0) != 0 ? 1 : 0;
    s.segLen = ReadInt(profile, "CutConfig", "SegLen", 200);
    s.closeOffset = ReadFloat(profile, "CutConfig", "CloseOffset", 0.5f);
    s.reducePoint = 0.2f;
    s.solidLineLen = ReadFloat(profile, "CutConfig", "SolidLineLen", 0.0f);
    s.jumpLineLen = ReadFloat(profile, "CutConfig", "JumpLineLen", 0.0f);

    s.canFeedPaper = ReadInt(profile, "FeedPaper", "CanFeedPaper", 0) != 0 ? 1 : 0;
    s.xSteps = ReadFloat(profile, "FeedPaper", "XSTEPS", 0.0f);
    s.ySteps = ReadFloat(profile, "FeedPaper", "YSTEPS", 0.0f);

    s.xDesignSize = ReadFloat(profile, "XYInaccuracy", "XDesignSize", 100.0f);
    s.xTrueSize = ReadFloat(profile, "XYInaccuracy", "XTrueSize", 100.0f);
    s.yDesignSize = ReadFloat(profile, "XYInaccuracy", "YDesignSize", 100.0f);
    s.yTrueSize = ReadFloat(profile, "XYInaccuracy", "YTrueSize", 100.0f);
    s.xSizeRedeem = ReadFloat(profile, "XYInaccuracy", "XSizeRedeem", 1.0f);
    s.ySizeRedeem = ReadFloat(profile, "XYInaccuracy", "YSizeRedeem", 1.0f);

    s.flagColor = static_cast<int8_t>(static_cast<uint8_t>(ReadInt(profile, "ImageCut", "FlagColor", 0) & 0xFF));
}

void WritePenPresets(IProfile& profile, const StationSettings& s) {
    Write(profile, "CutConfig", "UsePresetPa", Flag(s.usePresetPa));
    for (int pen = 1; pen <= 8; ++pen) {
        std::string key = "SP" + std::to_string(pen);
        Write(profile, "CutConfig", key.c_str(), Decimal(s.penPresets[pen - 1]));
    }
}

std::string PortNumberText(const std::string& portText) {
    // Counted in characters, so that a typed non-ASCII text is not cut inside one.
    size_t start = 0;
    for (int skipped = 0; skipped < 3 && start < portText.size(); ++skipped) {
        ++start;
        while (start < portText.size() && IsContinuation(static_cast<unsigned char>(portText[start]))) ++start;
    }
    size_t end = start;
    for (int taken = 0; taken < 3 && end < portText.size(); ++taken) {
        ++end;
        while (end < portText.size() && IsContinuation(static_cast<unsigned char>(portText[end]))) ++end;
    }
    return portText.substr(start, end - start);
}

void WriteSettingsOnOk(IProfile& profile, StationSettings& s, uint8_t english,
                       const std::string& portText) {
    Write(profile, "LANGUAGE", "Lan", english ? "English" : "Chinese");

    Write(profile, "XYInaccuracy", "XDesignSize", SettingsFixed(s.xDesignSize, 3));
    Write(profile, "XYInaccuracy", "XTrueSize", SettingsFixed(s.xTrueSize, 3));
    Write(profile, "XYInaccuracy", "YDesignSize", SettingsFixed(s.yDesignSize, 3));
    Write(profile, "XYInaccuracy", "YTrueSize", SettingsFixed(s.yTrueSize, 3));
    Write(profile, "ImageCut", "FlagColor", Decimal(s.flagColor));
    Write(profile, "Model", "Mode", Decimal(static_cast<int64_t>(s.modelIndex) + 1));

    Write(profile, "AutoGET", "ColExportPath", s.exportFolder);
    Write(profile, "AutoGET", "ColExportFilename", s.exportFileName);

    Write(profile, "CutConfig", "CloseOffset", SettingsFixed(s.closeOffset, 2));
    Write(profile, "CutConfig", "SegLen", Decimal(s.segLen));
    Write(profile, "CutConfig", "SharpOffset", SettingsFixed(s.sharpOffset, 2));
    Write(profile, "CutConfig", "ReducePoint", SettingsFixed(s.reducePoint, 2));
    Write(profile, "CutConfig", "SolidLineLen", SettingsFixed(s.solidLineLen, 2));
    Write(profile, "CutConfig", "JumpLineLen", SettingsFixed(s.jumpLineLen, 2));
    Write(profile, "FeedPaper", "XSTEPS", SettingsFixed(s.xSteps, 1));
    Write(profile, "FeedPaper", "YSTEPS", SettingsFixed(s.ySteps, 1));

    Write(profile, "CutConfig", "CloseEnble", Flag(s.closeEnble));
    Write(profile, "CutConfig", "SegEnble", Flag(s.segEnble));
    s.sharpEnble = 0;
    s.reducePointEnble = 0;
    Write(profile, "CutConfig", "SharpEnble", "0");
    Write(profile, "CutConfig", "ReducePointEnble", "0");
    Write(profile, "CutConfig", "CutImageMode", Flag(s.cutImageMode));
    Write(profile, "CutConfig", "DashedMode", Flag(s.dashedMode));
    Write(profile, "FeedPaper", "CanFeedPaper", Flag(s.canFeedPaper));

    Write(profile, "AutoGET", "WaitSecond", Decimal(s.waitSecond));

    std::string number = PortNumberText(portText);
    s.currentCom = static_cast<uint8_t>(SettingsInt(number) & 0xFF);
    Write(profile, "COM", "CurrentCom", number);
}

void WriteSizeRedeem(IProfile& profile, const StationSettings& s) {
    Write(profile, "XYInaccuracy", "XSizeRedeem", SettingsFixed(s.xSizeRedeem, 6));
    Write(profile, "XYInaccuracy", "YSizeRedeem", SettingsFixed(s.ySizeRedeem, 6));
}
