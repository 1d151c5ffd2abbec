// CAcUiEdit and CAcUiAngleEdit: checking and rewriting the value an edit box holds.
#include <acuiEdit.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Characters a symbol table name may not hold.
const char* const kSymbolRefused = "<>/\\\":;?*|,=`";

// Whether [p, end) is exactly a decimal number: sign, digits with at most one point (at least
// one digit), then an optional exponent with at least one digit.
bool isNumberText(const char* p, const char* end) {
  if (p < end && (*p == '+' || *p == '-')) ++p;
  int digits = 0;
  bool point = false;
  for (; p < end && (isDigit(*p) || (*p == '.' && !point)); ++p) {
    if (*p == '.')
      point = true;
    else
      ++digits;
  }
  if (digits == 0) return false;
  if (p < end && (*p == 'e' || *p == 'E')) {
    ++p;
    if (p < end && (*p == '+' || *p == '-')) ++p;
    const char* first = p;
    while (p < end && isDigit(*p)) ++p;
    if (p == first) return false;
  }
  return p == end;
}

// The value of a text isNumberText accepted. The program runs in the C locale (the host
// never changes it), so strtod reads '.' as the decimal point; too large a magnitude reads as
// infinity (refused by the caller), too small as zero.
double readNumberText(const char* p, const char* end) {
  std::string text(p, end);
  return std::strtod(text.c_str(), nullptr);
}

}  // namespace

IMPLEMENT_DYNAMIC(CAcUiEdit, CEdit)
IMPLEMENT_DYNAMIC(CAcUiAngleEdit, CAcUiEdit)

CAcUiEdit::CAcUiEdit() : m_dwStyleMask(AC_ES_STRING), m_vMin(0.0), m_vMax(0.0), m_bHasRange(false) {}

void CAcUiEdit::SetRange(double vMin, double vMax) {
  m_bHasRange = vMin <= vMax;
  m_vMin = vMin;
  m_vMax = vMax;
}

BOOL CAcUiEdit::ReadNumber(const CString& text, double& value) {
  const char* begin = text;
  const char* end = begin + text.GetLength();
  while (begin < end && isBlank(*begin)) ++begin;
  while (end > begin && isBlank(end[-1])) --end;
  if (!isNumberText(begin, end)) return FALSE;
  double read = readNumberText(begin, end);
  if (!std::isfinite(read)) return FALSE;  // beyond the largest double: no usable number
  value = read;
  return TRUE;
}

BOOL CAcUiEdit::IsValidText(const CString& text) const {
  if (m_dwStyleMask & (AC_ES_NUMERIC | AC_ES_ANGLE)) {
    double value = 0.0;
    if (!ReadNumber(text, value)) return FALSE;
    return !m_bHasRange || (value >= m_vMin && value <= m_vMax);
  }
  if (m_dwStyleMask & AC_ES_SYMBOL) {
    CString name = text;
    name.Trim(" \t");
    if (name.IsEmpty()) return FALSE;
    for (int i = 0; i < name.GetLength(); ++i) {
      unsigned char c = static_cast<unsigned char>(name[i]);
      if (_ismbblead(c) && i + 1 < name.GetLength()) {
        ++i;  // a double-byte character is never a refused one
        continue;
      }
      if (c < 0x20 || std::strchr(kSymbolRefused, c)) return FALSE;
    }
    return TRUE;
  }
  return TRUE;
}

BOOL CAcUiEdit::Validate() {
  CString text;
  if (m_hWnd) GetWindowText(text);
  return IsValidText(text);
}

BOOL CAcUiEdit::ConvertData(CString& x) {
  if (!IsValidText(x)) return FALSE;
  if (m_dwStyleMask & (AC_ES_NUMERIC | AC_ES_ANGLE)) {
    double value = 0.0;
    ReadNumber(x, value);
    x.Format("%g", value);
  } else if (m_dwStyleMask & AC_ES_SYMBOL) {
    x.Trim(" \t");
  }
  return TRUE;
}

CAcUiAngleEdit::CAcUiAngleEdit() { m_dwStyleMask = AC_ES_ANGLE; }
