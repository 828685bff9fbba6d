// Text of `vokrec analyse`: JSON strings and numbers, and names in messages.
#pragma once
#include <string>

// s as a JSON string. Valid UTF-8 stays as it is but for '"', '\' and the
// control characters (C0, DEL and C1), which are escaped. Text that is not
// valid UTF-8 is read as Latin-1: every byte from 0x80 up is written as
// \u00XX, so the original bytes are the string's characters encoded as
// Latin-1; *latin1 (when given) tells which rule was used.
std::string JsonString(const std::string& s, bool* latin1 = nullptr);

// A JSON number for a float (shortest form that reads back the same); null for
// values that JSON cannot hold.
std::string JsonNumber(float v);
// A double with at most decimals places; null when not finite.
std::string JsonNumber(double v, int decimals);

// s for a one-line message on a terminal: double quotes around it, '"' and '\'
// escaped, control characters as \n, \t, \r or \xNN (C1 controls as \u00XX),
// and, when s is not valid UTF-8, every byte from 0x80 up as \xNN.
std::string MessageQuoted(const std::string& s);
// The same without the quotes (and '"', '\' as they are), for a message's own text.
std::string MessageText(const std::string& s);
