#include "record/ItemList.h"

#include <cstdio>
#include <memory>

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
} // namespace

bool ItemList::IsUtf8(std::string_view s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const size_t n = s.size();
    for (size_t i = 0; i < n;) {
        const unsigned c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t len;
        unsigned cp, min;
        if ((c & 0xE0) == 0xC0) {
            len = 2, cp = c & 0x1F, min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3, cp = c & 0x0F, min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4, cp = c & 0x07, min = 0x10000;
        } else {
            return false; // a continuation byte first, or 0xF8 and above
        }
        if (n - i < len) return false;
        for (size_t k = 1; k < len; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += len;
    }
    return true;
}

bool ItemList::Fail(int line, const std::string& why) {
    m_items.clear();
    m_errorLine = line;
    m_error = line > 0 ? "line " + std::to_string(line) + " " + why : why;
    return false;
}

bool ItemList::AddLine(std::string_view line, int number) {
    size_t a = 0, b = line.size();
    while (a < b && IsBlank(line[a]))
        ++a;
    while (b > a && IsBlank(line[b - 1]))
        --b;
    const std::string_view name = line.substr(a, b - a);
    if (name.find('\0') != std::string_view::npos) return Fail(number, "contains a NUL byte");
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) return Fail(number, "contains a control character");
    }
    if (!IsUtf8(name)) return Fail(number, "is not valid UTF-8");
    if (name.size() > kMaxName)
        return Fail(number, "is longer than " + std::to_string(kMaxName) + " bytes");
    if (!name.empty()) m_items.emplace_back(name);
    return true;
}

bool ItemList::Parse(std::string_view text) {
    m_items.clear();
    m_errorLine = 0;
    m_error.clear();
    if (text.size() > kMaxFile)
        return Fail(0, "it is larger than " + std::to_string(kMaxFile) + " bytes");
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    int number = 1;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != '\n' && text[i] != '\r') continue;
        if (!AddLine(text.substr(start, i - start), number)) return false;
        if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') ++i;
        start = i + 1;
        ++number;
    }
    return true;
}

bool ItemList::ReadFile(const std::string& path) {
    m_items.clear();
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!f) return Fail(0, "it cannot be opened or read");
    // One byte more than allowed tells a file that is too large.
    std::string text(kMaxFile + 1, '\0');
    size_t got = 0;
    while (got < text.size()) {
        const size_t n = std::fread(text.data() + got, 1, text.size() - got, f.get());
        if (n == 0) break;
        got += n;
    }
    if (std::ferror(f.get())) return Fail(0, "it cannot be opened or read");
    text.resize(got);
    return Parse(text);
}
