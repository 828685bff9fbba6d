// A small owned text for fixed-width record fields: built from a padded field,
// cut or padded to a width, right-justified.
#pragma once

class CFixStr {
  public:
    explicit CFixStr(const char* text = "");
    // The field's first width characters without trailing blanks and NULs.
    CFixStr(const char* field, int width);
    CFixStr(const CFixStr& other);
    CFixStr& operator=(const CFixStr& other);
    ~CFixStr();

    const char* c_str() const { return m_text; }
    operator const char*() const { return m_text; }
    int GetLength() const;
    // Makes the text exactly n characters long (cut, trimmed, blank-padded).
    int SetWidth(int n);
    void RightAlign(int n);
    // Index of the occurrence with ordinal n (0 = first), or -1.
    int FindNth(char c, int n) const;
    int ReverseFind(char c) const;
    bool operator==(const CFixStr& other) const;
    CFixStr& operator+=(const CFixStr& other);
    CFixStr operator+(const CFixStr& other) const;

  private:
    static char* Copy(const char* text, int n);
    char* m_text;
};
