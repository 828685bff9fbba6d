#include "record/ItemList.h"

#include <array>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Space, tab and the no-break spaces U+00A0, U+2007, U+202F.
constexpr std::array<std::string_view, 5> kBlanks = {" ", "\t", "\xC2\xA0", "\xE2\x80\x87",
                                                     "\xE2\x80\xAF"};

// Code points that change how a name is shown without being seen: zero-width
// characters and marks (U+200B-U+200F), bidirectional embeddings and
// overrides (U+202A-U+202E) and isolates (U+2066-U+2069), and U+FEFF.
bool IsInvisibleFormat(unsigned cp) {
    return (cp >= 0x200B && cp <= 0x200F) || (cp >= 0x202A && cp <= 0x202E) ||
           (cp >= 0x2066 && cp <= 0x2069) || cp == 0xFEFF;
}

// The code point of the well-formed UTF-8 sequence at p[i]; i moves past it.
unsigned NextCodePoint(std::string_view s, size_t& i) {
    const auto c = static_cast<unsigned char>(s[i++]);
    if (c < 0x80) return c;
    const int len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
    unsigned cp = c & (0x7Fu >> len);
    for (int k = 1; k < len && i < s.size(); ++k)
        cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
    return cp;
}

} // namespace

std::string_view ItemList::Trim(std::string_view s) {
    for (bool again = true; again;) {
        again = false;
        for (std::string_view b : kBlanks) {
            if (s.starts_with(b)) s.remove_prefix(b.size()), again = true;
            if (s.ends_with(b)) s.remove_suffix(b.size()), again = true;
        }
    }
    return s;
}

std::string ItemList::NameFault(std::string_view name) {
    if (name.find('\0') != std::string_view::npos) return "contains a NUL byte";
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) return "contains a control character";
    }
    if (!IsUtf8(name)) return "is not valid UTF-8";
    if (name.size() > kMaxName) return "is longer than " + std::to_string(kMaxName) + " bytes";
    for (size_t i = 0; i < name.size();)
        if (IsInvisibleFormat(NextCodePoint(name, i)))
            return "contains an invisible formatting character";
    return "";
}

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
    const std::string_view name = Trim(line);
    if (const std::string fault = NameFault(name); !fault.empty()) return Fail(number, fault);
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
    // Opened without waiting (a FIFO without a writer would block) and read
    // only when it is a regular file.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return Fail(0, "it cannot be opened or read");
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return Fail(0, "it is not a regular file");
    }
    std::unique_ptr<FILE, int (*)(FILE*)> f(fdopen(fd, "rb"), std::fclose);
    if (!f) {
        close(fd);
        return Fail(0, "it cannot be opened or read");
    }
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
