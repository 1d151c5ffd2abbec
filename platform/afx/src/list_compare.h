// How list and combo boxes order and match their rows.
#pragma once
#include <afxstr.h>

namespace contura::afx::detail {

// The sort order of LBS_SORT and CBS_SORT, close to the system's string comparison:
// character by character, symbols (blank and ASCII punctuation) before digits before letters
// before double-byte characters; letters compare ignoring case, double-byte characters by
// their code (code page 936 orders the common Chinese characters by pinyin). Only when two
// texts are equal that way does case decide: lower case first. <0, 0 or >0.
int compareForSort(const CString& a, const CString& b);

// Equality and prefix tests ignoring the case of single-byte letters (double-byte characters
// are compared whole, so a trail byte is never case-folded).
bool equalIgnoringCase(const CString& text, const char* other);
bool startsWithIgnoringCase(const CString& text, const char* prefix);

}  // namespace contura::afx::detail
