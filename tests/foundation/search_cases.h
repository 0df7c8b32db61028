// The regular-expression searches and template replacements that both Scintilla builds must
// agree on: the document core natively and Scintilla.dll under Wine. Every search uses the
// plugin's flags, SCFIND_REGEXP | SCFIND_POSIX (Scintilla's own engine, POSIX-style groups,
// case ignored).
#pragma once

#include <ostream>

struct SearchCase {
  const char* name;
  const char* text;  // the document, UTF-8
  int from;          // search range
  int to;            // -1: the document's end
  const char* pattern;
  int position;        // expected start of the match, -1 for none
  int length;          // expected length of the match
  const char* group1;  // expected text of group 1 (and 2)
  const char* group2;
  const char* replacement;  // template with \1..\9
  const char* result;       // the document after the match is replaced by the template
};

inline const SearchCase kSearchCases[] = {
    {"groups_and_template", "x  count=42 ; note", 0, -1, "([a-z]+)\\s*=\\s*([0-9]+)", 3, 8, "count",
     "42", "\\1 = \\2", "x  count = 42 ; note"},
    {"case_is_ignored", "  if a>b", 0, -1, "^(\\s*)IF\\s+(.*)$", 0, 8, "  ", "a>b", "\\1If \\2",
     "  If a>b"},
    {"caret_only_at_a_real_line_start", "a = 1\nb = 2", 2, -1, "^([a-z])", 6, 1, "b", "", "[\\1]",
     "a = 1\n[b] = 2"},
    {"dollar_only_at_a_real_line_end", "abc def", 0, 3, "([a-z]+)$", -1, 0, "", "", "", "abc def"},
    {"digit_class_inside_a_set", "pi=3.14;", 0, -1, "([\\d.]+)", 3, 4, "3.14", "", "<\\1>",
     "pi=<3.14>;"},
    {"string_literal", "s$ = \"abc\" + x", 0, -1, "\"([^\"]*)\"", 5, 5, "abc", "", "'\\1'",
     "s$ = 'abc' + x"},
    {"no_match", "abc", 0, -1, "([0-9]+)", -1, 0, "", "", "", "abc"},
    {"utf8_bytes",
     "Gr\xC3\xB6\xC3\x9F"
     "e = 1",
     0, -1, "(\\S+) = ([0-9])", 0, 11,
     "Gr\xC3\xB6\xC3\x9F"
     "e",
     "1", "\\2 = \\1",
     "1 = Gr\xC3\xB6\xC3\x9F"
     "e"},
    // The engine's '?' after a set repeats like '*': the whole run of operators is taken.
    {"question_mark_after_a_set", "a <<= b", 0, -1, "([<>=][<>=]?)", 2, 3, "<<=", "", "[\\1]",
     "a [<<=] b"},
    {"empty_group", "If(x)", 0, -1, "^(\\s*)if(\\()", 0, 3, "", "(", "\\1If \\2", "If (x)"},
};

// Test names show the case's name, not its bytes.
inline void PrintTo(const SearchCase& c, std::ostream* out) { *out << c.name; }
