// VARIANT values: BSTR allocation, copying, type conversion, and the COleVariant wrapper.
#include <afxdisp.h>

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <string_view>

namespace {

constexpr int kR8Digits = 15;  // significant digits of a double written as text
constexpr int kR4Digits = 7;   // significant digits of a float written as text

// A BSTR is preceded by its byte length.
UINT* header(BSTR bstr) { return reinterpret_cast<UINT*>(bstr) - 1; }

bool isSupported(VARTYPE vt) {
  switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_DATE:
    case VT_BSTR:
    case VT_BOOL:
    case VT_UI1:
      return true;
    default:
      return false;
  }
}

std::string_view trimmedBlanks(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// A decimal number: optional sign, digits with an optional fraction, optional exponent.
bool parseNumber(std::string_view text, double& value) {
  std::string_view s = trimmedBlanks(text);
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  const std::size_t mantissa = i;
  bool digits = false;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, digits = true;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, digits = true;
  }
  if (!digits) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    bool exponent = false;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i, exponent = true;
    if (!exponent) return false;
  }
  if (i != s.size()) return false;
  double magnitude = 0;
  auto [end, ec] = std::from_chars(s.data() + mantissa, s.data() + s.size(), magnitude);
  if (ec != std::errc() || end != s.data() + s.size()) return false;
  value = (s[0] == '-') ? -magnitude : magnitude;
  return true;
}

// The numeric value of a non-null source, or an error for text that holds no number.
HRESULT numberOf(const VARIANT& src, VARTYPE target, double& value) {
  switch (src.vt) {
    case VT_EMPTY: value = 0; return S_OK;
    case VT_I2: value = src.iVal; return S_OK;
    case VT_I4: value = src.lVal; return S_OK;
    case VT_UI1: value = src.bVal; return S_OK;
    case VT_BOOL: value = src.boolVal ? -1 : 0; return S_OK;
    case VT_R4: value = src.fltVal; return S_OK;
    case VT_R8: value = src.dblVal; return S_OK;
    case VT_DATE: value = src.date; return S_OK;
    case VT_BSTR: {
      std::string_view text(src.bstrVal ? src.bstrVal : "", SysStringByteLen(src.bstrVal));
      if (target == VT_BOOL && equalsNoCase(trimmedBlanks(text), "true")) { value = -1; return S_OK; }
      if (target == VT_BOOL && equalsNoCase(trimmedBlanks(text), "false")) { value = 0; return S_OK; }
      return parseNumber(text, value) ? S_OK : DISP_E_TYPEMISMATCH;
    }
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

// Rounds half to even and checks the range of an integer target.
HRESULT integral(double value, double lo, double hi, double& rounded) {
  if (!std::isfinite(value)) return DISP_E_OVERFLOW;
  rounded = std::nearbyint(value);
  return (rounded < lo || rounded > hi) ? DISP_E_OVERFLOW : S_OK;
}

HRESULT toText(const VARIANT& src, VARIANT& out) {
  char buffer[64];
  switch (src.vt) {
    case VT_EMPTY: buffer[0] = '\0'; break;
    case VT_I2: std::snprintf(buffer, sizeof buffer, "%d", src.iVal); break;
    case VT_I4: std::snprintf(buffer, sizeof buffer, "%d", static_cast<int>(src.lVal)); break;
    case VT_UI1: std::snprintf(buffer, sizeof buffer, "%u", static_cast<unsigned>(src.bVal)); break;
    case VT_BOOL: std::snprintf(buffer, sizeof buffer, "%d", src.boolVal ? -1 : 0); break;
    case VT_R4: std::snprintf(buffer, sizeof buffer, "%.*g", kR4Digits, static_cast<double>(src.fltVal)); break;
    case VT_R8: std::snprintf(buffer, sizeof buffer, "%.*g", kR8Digits, src.dblVal); break;
    case VT_DATE: std::snprintf(buffer, sizeof buffer, "%.*g", kR8Digits, src.date); break;
    default: return DISP_E_TYPEMISMATCH;
  }
  out.bstrVal = SysAllocString(buffer);
  if (!out.bstrVal) return E_OUTOFMEMORY;
  out.vt = VT_BSTR;
  return S_OK;
}

HRESULT convert(const VARIANT& src, VARTYPE vt, VARIANT& out) {
  if (src.vt == vt) return VariantCopy(&out, &src);
  if (src.vt == VT_NULL || vt == VT_NULL || vt == VT_EMPTY) return DISP_E_TYPEMISMATCH;
  if (vt == VT_BSTR) return toText(src, out);
  double value = 0;
  if (HRESULT hr = numberOf(src, vt, value); FAILED(hr)) return hr;
  double r = 0;
  HRESULT hr = S_OK;
  switch (vt) {
    case VT_I2:
      hr = integral(value, std::numeric_limits<SHORT>::min(), std::numeric_limits<SHORT>::max(), r);
      out.iVal = static_cast<SHORT>(r);
      break;
    case VT_I4:
      hr = integral(value, std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max(), r);
      out.lVal = static_cast<LONG>(r);
      break;
    case VT_UI1:
      hr = integral(value, 0, std::numeric_limits<BYTE>::max(), r);
      out.bVal = static_cast<BYTE>(r);
      break;
    case VT_BOOL:
      out.boolVal = value != 0 ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case VT_R4:
      if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<float>::max()) hr = DISP_E_OVERFLOW;
      out.fltVal = static_cast<float>(value);
      break;
    case VT_R8:
      out.dblVal = value;
      break;
    case VT_DATE:
      out.date = value;
      break;
    default:
      return DISP_E_BADVARTYPE;
  }
  if (FAILED(hr)) return hr;
  out.vt = vt;
  return S_OK;
}

}  // namespace

// --- BSTR -----------------------------------------------------------------------------------

BSTR SysAllocStringByteLen(const char* psz, UINT nLen) {
  auto* block = static_cast<char*>(std::malloc(sizeof(UINT) + nLen + 1));
  if (!block) return nullptr;
  std::memcpy(block, &nLen, sizeof(UINT));
  BSTR bstr = block + sizeof(UINT);
  if (psz) std::memcpy(bstr, psz, nLen);
  else std::memset(bstr, 0, nLen);
  bstr[nLen] = '\0';
  return bstr;
}

BSTR SysAllocString(const char* psz) {
  return psz ? SysAllocStringByteLen(psz, static_cast<UINT>(std::strlen(psz))) : nullptr;
}

void SysFreeString(BSTR bstr) {
  if (bstr) std::free(header(bstr));
}

UINT SysStringByteLen(BSTR bstr) {
  if (!bstr) return 0;
  UINT n;
  std::memcpy(&n, header(bstr), sizeof n);
  return n;
}

UINT SysStringLen(BSTR bstr) { return SysStringByteLen(bstr); }

// --- VARIANT --------------------------------------------------------------------------------

void VariantInit(VARIANT* pvarg) {
  std::memset(pvarg, 0, sizeof *pvarg);
  pvarg->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANT* pvarg) {
  if (!pvarg) return E_INVALIDARG;
  if (pvarg->vt == VT_BSTR) SysFreeString(pvarg->bstrVal);
  VariantInit(pvarg);
  return S_OK;
}

HRESULT VariantCopy(VARIANT* pvargDest, const VARIANT* pvargSrc) {
  if (!pvargDest || !pvargSrc) return E_INVALIDARG;
  if (pvargDest == pvargSrc) return S_OK;
  if (!isSupported(pvargSrc->vt)) return DISP_E_BADVARTYPE;
  VARIANT copy = *pvargSrc;
  if (pvargSrc->vt == VT_BSTR && pvargSrc->bstrVal) {
    copy.bstrVal = SysAllocStringByteLen(pvargSrc->bstrVal, SysStringByteLen(pvargSrc->bstrVal));
    if (!copy.bstrVal) return E_OUTOFMEMORY;
  }
  VariantClear(pvargDest);
  *pvargDest = copy;
  return S_OK;
}

HRESULT VariantChangeType(VARIANT* pvargDest, const VARIANT* pvarSrc, unsigned short wFlags, VARTYPE vt) {
  (void)wFlags;
  if (!pvargDest || !pvarSrc) return E_INVALIDARG;
  if (!isSupported(pvarSrc->vt) || !isSupported(vt)) return DISP_E_BADVARTYPE;
  VARIANT result;
  VariantInit(&result);
  if (HRESULT hr = convert(*pvarSrc, vt, result); FAILED(hr)) {
    VariantClear(&result);
    return hr;
  }
  VariantClear(pvargDest);  // the source may be the destination: converted first
  *pvargDest = result;
  return S_OK;
}

// --- COleException --------------------------------------------------------------------------

BOOL COleException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const {
  if (pnHelpContext) *pnHelpContext = 0;
  if (!lpszError || nMaxError == 0) return FALSE;
  const char* text = nullptr;
  switch (m_sc) {
    case DISP_E_TYPEMISMATCH: text = "Type mismatch."; break;
    case DISP_E_OVERFLOW: text = "Overflow."; break;
    case DISP_E_BADVARTYPE: text = "Bad variable type."; break;
    case E_INVALIDARG: text = "The parameter is incorrect."; break;
    case E_OUTOFMEMORY: text = "Not enough memory."; break;
    default: break;
  }
  char buffer[64];
  if (!text) {
    std::snprintf(buffer, sizeof buffer, "OLE error 0x%08X.", static_cast<unsigned>(m_sc));
    text = buffer;
  }
  std::snprintf(lpszError, nMaxError, "%s", text);
  return TRUE;
}

// --- COleVariant ----------------------------------------------------------------------------

namespace {

void copyOrThrow(VARIANT* dst, const VARIANT* src) {
  HRESULT hr = VariantCopy(dst, src);
  if (hr == E_OUTOFMEMORY) throw std::bad_alloc();
  if (FAILED(hr)) throw new COleException(hr);
}

void setText(VARIANT* v, const char* bytes, UINT length) {
  BSTR bstr = SysAllocStringByteLen(bytes, length);
  if (!bstr) throw std::bad_alloc();
  VariantClear(v);
  v->vt = VT_BSTR;
  v->bstrVal = bstr;
}

}  // namespace

COleVariant::COleVariant() { VariantInit(this); }

COleVariant::COleVariant(const VARIANT& varSrc) {
  VariantInit(this);
  copyOrThrow(this, &varSrc);
}

COleVariant::COleVariant(const COleVariant& varSrc) : COleVariant(static_cast<const VARIANT&>(varSrc)) {}

COleVariant::COleVariant(COleVariant&& varSrc) noexcept : tagVARIANT(varSrc) { VariantInit(&varSrc); }

COleVariant::COleVariant(LPCTSTR lpszSrc) {
  VariantInit(this);
  *this = lpszSrc;
}

COleVariant::COleVariant(const CString& strSrc) {
  VariantInit(this);
  *this = strSrc;
}

COleVariant::COleVariant(BYTE nSrc) {
  VariantInit(this);
  vt = VT_UI1;
  bVal = nSrc;
}

COleVariant::COleVariant(short nSrc, VARTYPE vtSrc) {
  VariantInit(this);
  if (vtSrc == VT_BOOL) {
    vt = VT_BOOL;
    boolVal = nSrc ? VARIANT_TRUE : VARIANT_FALSE;
  } else {
    vt = VT_I2;
    iVal = nSrc;
  }
}

COleVariant::COleVariant(long lSrc, VARTYPE vtSrc) {
  VariantInit(this);
  if (vtSrc == VT_BOOL) {
    vt = VT_BOOL;
    boolVal = lSrc ? VARIANT_TRUE : VARIANT_FALSE;
  } else {
    vt = VT_I4;
    lVal = static_cast<LONG>(lSrc);
  }
}

COleVariant::COleVariant(float fltSrc) {
  VariantInit(this);
  vt = VT_R4;
  fltVal = fltSrc;
}

COleVariant::COleVariant(double dblSrc) {
  VariantInit(this);
  vt = VT_R8;
  dblVal = dblSrc;
}

COleVariant::~COleVariant() { VariantClear(this); }

COleVariant& COleVariant::operator=(const VARIANT& varSrc) {
  copyOrThrow(this, &varSrc);
  return *this;
}

COleVariant& COleVariant::operator=(const COleVariant& varSrc) {
  return *this = static_cast<const VARIANT&>(varSrc);
}

COleVariant& COleVariant::operator=(COleVariant&& varSrc) noexcept {
  if (this != &varSrc) {
    VariantClear(this);
    static_cast<tagVARIANT&>(*this) = varSrc;
    VariantInit(&varSrc);
  }
  return *this;
}

COleVariant& COleVariant::operator=(LPCTSTR lpszSrc) {
  if (!lpszSrc) {
    VariantClear(this);
    vt = VT_NULL;
  } else {
    setText(this, lpszSrc, static_cast<UINT>(std::strlen(lpszSrc)));
  }
  return *this;
}

COleVariant& COleVariant::operator=(const CString& strSrc) {
  setText(this, strSrc.GetString(), static_cast<UINT>(strSrc.GetLength()));
  return *this;
}

COleVariant& COleVariant::operator=(long lSrc) {
  VariantClear(this);
  vt = VT_I4;
  lVal = static_cast<LONG>(lSrc);
  return *this;
}

COleVariant& COleVariant::operator=(double dblSrc) {
  VariantClear(this);
  vt = VT_R8;
  dblVal = dblSrc;
  return *this;
}

bool COleVariant::operator==(const VARIANT& varSrc) const {
  if (vt != varSrc.vt) return false;
  switch (vt) {
    case VT_EMPTY:
    case VT_NULL: return true;
    case VT_I2: return iVal == varSrc.iVal;
    case VT_I4: return lVal == varSrc.lVal;
    case VT_UI1: return bVal == varSrc.bVal;
    case VT_BOOL: return boolVal == varSrc.boolVal;
    case VT_R4: return fltVal == varSrc.fltVal;
    case VT_R8: return dblVal == varSrc.dblVal;
    case VT_DATE: return date == varSrc.date;
    case VT_BSTR: {
      const UINT n = SysStringByteLen(bstrVal);
      return n == SysStringByteLen(varSrc.bstrVal) && (n == 0 || std::memcmp(bstrVal, varSrc.bstrVal, n) == 0);
    }
    default: return false;
  }
}

void COleVariant::Clear() { VariantClear(this); }

void COleVariant::ChangeType(VARTYPE vartype, LPVARIANT pSrc) {
  HRESULT hr = VariantChangeType(this, pSrc ? pSrc : this, 0, vartype);
  if (hr == E_OUTOFMEMORY) throw std::bad_alloc();
  if (FAILED(hr)) throw new COleException(hr);
}
