// OLE automation values as MFC's DAO classes hand them out: VARIANT, COleVariant, COleException.
//
// Text values follow the MBCS build of MFC's DAO classes: a VT_BSTR whose bstrVal holds code
// page 936 bytes (the "ANSI BSTR" that V_BSTRT gives), so `(LPCTSTR)var.bstrVal` is the text.
// A BSTR is allocated with SysAllocStringByteLen, knows its byte length (SysStringByteLen),
// may hold zero bytes, and is always followed by a terminating zero.
#pragma once
#include <afx.h>

typedef short SHORT;
typedef LONG SCODE;
typedef LONG HRESULT;
typedef double DATE;
typedef short VARIANT_BOOL;
typedef unsigned short VARTYPE;
typedef char* BSTR;

#define VARIANT_TRUE ((VARIANT_BOOL)-1)
#define VARIANT_FALSE ((VARIANT_BOOL)0)

#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)
#define S_OK ((HRESULT)0L)
#define E_FAIL ((HRESULT)0x80004005L)
#define E_INVALIDARG ((HRESULT)0x80070057L)
#define E_OUTOFMEMORY ((HRESULT)0x8007000EL)
#define DISP_E_TYPEMISMATCH ((HRESULT)0x80020005L)
#define DISP_E_BADVARTYPE ((HRESULT)0x80020008L)
#define DISP_E_OVERFLOW ((HRESULT)0x8002000AL)

enum VARENUM {
  VT_EMPTY = 0,
  VT_NULL = 1,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_R4 = 4,
  VT_R8 = 5,
  VT_DATE = 7,
  VT_BSTR = 8,
  VT_BOOL = 11,
  VT_UI1 = 17
};
#define VT_BSTRT VT_BSTR

struct tagVARIANT {
  VARTYPE vt;
  WORD wReserved1;
  WORD wReserved2;
  WORD wReserved3;
  union {
    LONG lVal;           // VT_I4
    BYTE bVal;           // VT_UI1
    SHORT iVal;          // VT_I2
    float fltVal;        // VT_R4
    double dblVal;       // VT_R8
    VARIANT_BOOL boolVal;  // VT_BOOL
    DATE date;           // VT_DATE
    BSTR bstrVal;        // VT_BSTR
  };
};
typedef tagVARIANT VARIANT;
typedef VARIANT* LPVARIANT;
typedef const VARIANT* LPCVARIANT;

#define V_VT(pv) ((pv)->vt)
#define V_I4(pv) ((pv)->lVal)
#define V_R8(pv) ((pv)->dblVal)
#define V_BSTR(pv) ((pv)->bstrVal)
#define V_BSTRT(pv) ((pv)->bstrVal)

// BSTR allocation. SysAllocStringByteLen copies nLen bytes from psz (or leaves them zero when
// psz is null); SysAllocString copies up to the first zero byte. Null on allocation failure.
BSTR SysAllocString(const char* psz);
BSTR SysAllocStringByteLen(const char* psz, UINT nLen);
void SysFreeString(BSTR bstr);       // null is ignored
UINT SysStringByteLen(BSTR bstr);    // 0 for null
UINT SysStringLen(BSTR bstr);        // bytes as well: characters of this BSTR are bytes

// VARIANT handling. VariantClear frees what the value owns and leaves VT_EMPTY.
void VariantInit(VARIANT* pvarg);
HRESULT VariantClear(VARIANT* pvarg);
HRESULT VariantCopy(VARIANT* pvargDest, const VARIANT* pvargSrc);
// Converts pvarSrc to type vt into pvargDest (which may be pvarSrc). Supported types: VT_EMPTY,
// VT_NULL, VT_I2, VT_I4, VT_R4, VT_R8, VT_DATE (as its day number), VT_BOOL, VT_UI1, VT_BSTR.
// - Numbers convert to each other, rounding halves to even; out of range: DISP_E_OVERFLOW.
// - Text converts to a number when it holds one (blanks around it allowed, "True"/"False"
//   for VT_BOOL); otherwise DISP_E_TYPEMISMATCH.
// - Numbers convert to text in decimal (VT_R8 with up to 15 significant digits, VT_BOOL as
//   "-1" / "0").
// - VT_EMPTY converts to 0 or empty text. VT_NULL converts to nothing else, and nothing else
//   converts to VT_NULL or VT_EMPTY: DISP_E_TYPEMISMATCH. Unknown types: DISP_E_BADVARTYPE.
// On failure pvargDest is left unchanged.
HRESULT VariantChangeType(VARIANT* pvargDest, const VARIANT* pvarSrc, unsigned short wFlags, VARTYPE vt);

// An OLE error thrown (by pointer, as MFC does) from COleVariant::ChangeType.
class COleException : public CException {
public:
  explicit COleException(SCODE sc) : m_sc(sc) {}
  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) const override;
  SCODE m_sc;
};

// A VARIANT that owns its value.
class COleVariant : public tagVARIANT {
public:
  COleVariant();  // VT_EMPTY
  COleVariant(const VARIANT& varSrc);
  COleVariant(const COleVariant& varSrc);
  COleVariant(COleVariant&& varSrc) noexcept;
  COleVariant(LPCTSTR lpszSrc);  // VT_BSTR; null gives VT_NULL
  COleVariant(const CString& strSrc);
  COleVariant(BYTE nSrc);
  COleVariant(short nSrc, VARTYPE vtSrc = VT_I2);  // VT_I2 or VT_BOOL
  COleVariant(long lSrc, VARTYPE vtSrc = VT_I4);   // VT_I4 or VT_BOOL
  COleVariant(float fltSrc);
  COleVariant(double dblSrc);
  ~COleVariant();

  COleVariant& operator=(const VARIANT& varSrc);
  COleVariant& operator=(const COleVariant& varSrc);
  COleVariant& operator=(COleVariant&& varSrc) noexcept;
  COleVariant& operator=(LPCTSTR lpszSrc);
  COleVariant& operator=(const CString& strSrc);
  COleVariant& operator=(long lSrc);
  COleVariant& operator=(double dblSrc);

  // Same type and same value (texts compared byte for byte).
  bool operator==(const VARIANT& varSrc) const;
  bool operator!=(const VARIANT& varSrc) const { return !(*this == varSrc); }

  void Clear();
  // Converts in place (or from pSrc into this); throws COleException* on failure, leaving
  // the value as it was.
  void ChangeType(VARTYPE vartype, LPVARIANT pSrc = nullptr);

  operator LPVARIANT() { return this; }
  operator LPCVARIANT() const { return this; }
};
