// CAcUiEdit and CAcUiAngleEdit: the host's edit boxes that know what kind of value they hold.
#pragma once
#include <afxwin.h>

// Kinds of value (style mask bits of CAcUiEdit).
#define AC_ES_STRING 0x01   // any text
#define AC_ES_SYMBOL 0x02   // a symbol table name
#define AC_ES_NUMERIC 0x04  // a decimal number
#define AC_ES_ANGLE 0x08    // an angle in degrees

// An edit box (bound to an "Edit" control with DDX_Control or SubclassDlgItem) with a style
// mask telling what it holds. The box itself behaves as CEdit: nothing is checked while the
// person types; Validate and ConvertData are for the dialog to call when it wants.
//
// A number is read strictly in the C locale's form: blanks around it allowed, then an
// optional sign, digits with at most one '.', an optional exponent ("1e3"), and nothing
// else. Ranges are inclusive and apply only when set (SetRange with vMin <= vMax).
class CAcUiEdit : public CEdit {
  DECLARE_DYNAMIC(CAcUiEdit)

public:
  CAcUiEdit();

  DWORD GetStyleMask() const { return m_dwStyleMask; }
  void SetStyleMask(DWORD dwMask) { m_dwStyleMask = dwMask; }
  BOOL IsStyleMaskSet(DWORD dwMask) const { return (m_dwStyleMask & dwMask) == dwMask; }

  void SetRange(double vMin, double vMax);
  BOOL HasRange() const { return m_bHasRange; }

  // Whether the box's text is a value of its kind: a number within the range for NUMERIC
  // and ANGLE (the empty text is no number); a non-empty name without the characters
  // <>/\":;?*|,=` for SYMBOL; any text for STRING (and for an empty mask).
  BOOL Validate();
  // Rewrites x in the box's display form: a number (NUMERIC, ANGLE) becomes its "%g" text;
  // a symbol loses blanks at both ends; anything else, and text that is no valid value of
  // its kind, is left as it is. TRUE when x was a valid value.
  BOOL ConvertData(CString& x);

  // Reads `text` strictly as a number (see above); FALSE when it is none or its magnitude
  // is beyond the largest double. `value` is changed only on success.
  static BOOL ReadNumber(const CString& text, double& value);

protected:
  // Whether `text` is a value of this box's kind.
  BOOL IsValidText(const CString& text) const;

  DWORD m_dwStyleMask;
  double m_vMin;
  double m_vMax;
  bool m_bHasRange;
};

// An edit box for an angle shown in degrees (AC_ES_ANGLE). The dialog converts to and from
// the radians it stores; the box only holds and checks the degrees text.
class CAcUiAngleEdit : public CAcUiEdit {
  DECLARE_DYNAMIC(CAcUiAngleEdit)

public:
  CAcUiAngleEdit();
};
