// The item list of `vokrec record --item-file`: a text file with one item name
// per line. Lines end with LF, CR LF or a lone CR; a UTF-8 byte order mark at
// the start is skipped; spaces, tabs and no-break spaces around a name are
// dropped and blank lines are skipped. A file that is not a regular file or
// not plain UTF-8 text (a NUL byte, another control character inside a name,
// invalid UTF-8, an invisible formatting or bidirectional-override character),
// has a name longer than kMaxName bytes or is larger than kMaxFile bytes is
// refused as a whole, with the line that is wrong, so that no name reaches the
// dialog cut short, garbled or shown other than it is. Names given on the
// command line pass the same Trim and NameFault.
#pragma once
#include "platform/Export.h"
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class VOK_API ItemList {
  public:
    static constexpr size_t kMaxName = 1024;
    static constexpr size_t kMaxFile = size_t(4) << 20;

    // Parses the text of an item file. True with the names in Items(); false
    // with Items() empty and the reason in ErrorLine() and Error().
    bool Parse(std::string_view text);
    // Reads and parses the file at path (at most kMaxFile bytes are read).
    bool ReadFile(const std::string& path);

    const std::vector<std::string>& Items() const { return m_items; }
    // 1-based line of the refusal; 0 when the file as a whole is at fault.
    int ErrorLine() const { return m_errorLine; }
    // The reason, naming the line: "line 3 contains a NUL byte".
    const std::string& Error() const { return m_error; }

    // True when s is well-formed UTF-8 (no overlong forms, no surrogates,
    // nothing above U+10FFFF).
    static bool IsUtf8(std::string_view s);
    // name without the spaces, tabs and no-break spaces around it.
    static std::string_view Trim(std::string_view name);
    // Why name cannot be an item name ("contains a NUL byte"); "" when it can.
    static std::string NameFault(std::string_view name);

  private:
    bool Fail(int line, const std::string& why);
    bool AddLine(std::string_view line, int number);

    std::vector<std::string> m_items;
    int m_errorLine = 0;
    std::string m_error;
};
