#include "AnalyseJson.h"

#include "record/ItemList.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {
void AppendHex(std::string& out, const char* format, unsigned c) {
    char esc[8];
    std::snprintf(esc, sizeof esc, format, c);
    out += esc;
}

// The second byte of a UTF-8 C1 control (U+0080 ... U+009F, C2 80 ... C2 9F),
// or -1 when s[i] does not start one.
int C1At(const std::string& s, size_t i) {
    if (i + 1 >= s.size() || (unsigned char)s[i] != 0xC2) return -1;
    const unsigned char next = (unsigned char)s[i + 1];
    return next >= 0x80 && next <= 0x9F ? next : -1;
}

// Escapes s for JSON (json) or for a message; utf8 tells whether s is valid UTF-8;
// quoted whether it goes between double quotes.
std::string Escaped(const std::string& s, bool json, bool utf8, bool quoted = true) {
    std::string out;
    out.reserve(s.size() + 2);
    for (size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = (unsigned char)s[i];
        const int c1 = utf8 ? C1At(s, i) : -1;
        if (quoted && (c == '"' || c == '\\')) {
            out += '\\';
            out += char(c);
        } else if (!json && (c == '\n' || c == '\t' || c == '\r')) {
            out += c == '\n' ? "\\n" : c == '\t' ? "\\t" : "\\r";
        } else if (c1 >= 0) {
            AppendHex(out, "\\u%04x", unsigned(c1));
            ++i;
        } else if (c < 0x20 || c == 0x7F || (c >= 0x80 && !utf8)) {
            AppendHex(out, json ? "\\u%04x" : "\\x%02x", c);
        } else {
            out += char(c);
        }
    }
    return out;
}
} // namespace

std::string JsonString(const std::string& s, bool* latin1) {
    const bool utf8 = ItemList::IsUtf8(s);
    if (latin1) *latin1 = !utf8;
    return "\"" + Escaped(s, true, utf8) + "\"";
}

std::string JsonNumber(float v) {
    if (!std::isfinite(v)) return "null";
    if (v == 0.0f) v = 0.0f; // no "-0"
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string JsonNumber(double v, int decimals) {
    if (!std::isfinite(v)) return "null";
    const double scale = std::pow(10.0, decimals);
    v = std::round(v * scale) / scale;
    if (v == 0.0) v = 0.0;
    char buf[40];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string MessageQuoted(const std::string& s) {
    return "\"" + Escaped(s, false, ItemList::IsUtf8(s)) + "\"";
}

std::string MessageText(const std::string& s) {
    return Escaped(s, false, ItemList::IsUtf8(s), false);
}
