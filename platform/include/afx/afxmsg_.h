// Message maps: the tables through which a window class routes messages and control
// notifications to its handler members, searched from the most derived class to its bases.
//
// Each entry carries a small calling function made for the handler's exact signature, so a
// handler with the wrong signature fails to compile instead of being called wrongly.
#pragma once
#include <windows.h>

class CCmdTarget;
class CWnd;
class CPoint;

// Calls one handler of `target`: nID is the command or control id (WM_COMMAND) and
// wParam/lParam the message's parameters. Returns the message's result.
typedef LRESULT (*AFX_PMSG)(CCmdTarget* target, UINT nID, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;  // window message (WM_COMMAND for commands and control notifications)
  UINT nCode;     // notification code (WM_COMMAND) or 0
  UINT nID;       // first control id (WM_COMMAND) or 0
  UINT nLastID;   // last control id of a range (equal to nID otherwise)
  UINT_PTR nSig;  // 0 marks the end of the table
  AFX_PMSG pfn;
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();  // null for the root
  const AFX_MSGMAP_ENTRY* lpEntries;
};

enum AfxSig : UINT_PTR { AfxSig_end = 0, AfxSig_entry = 1 };

// The class that declares member pointer `pfn`.
template <class T>
struct AfxMemberClass;
template <class C, class R, class... A>
struct AfxMemberClass<R (C::*)(A...)> {
  using type = C;
};
template <auto pfn>
using AfxClassOf = typename AfxMemberClass<decltype(pfn)>::type;

// Calling functions, one per handler signature.
template <auto pfn>
LRESULT AfxCall_v(CCmdTarget* t, UINT, WPARAM, LPARAM) {
  (static_cast<AfxClassOf<pfn>*>(t)->*pfn)();
  return 0;
}
template <auto pfn>
LRESULT AfxCall_id(CCmdTarget* t, UINT nID, WPARAM, LPARAM) {
  (static_cast<AfxClassOf<pfn>*>(t)->*pfn)(nID);
  return 0;
}
template <auto pfn>
LRESULT AfxCall_size(CCmdTarget* t, UINT, WPARAM w, LPARAM l) {
  (static_cast<AfxClassOf<pfn>*>(t)->*pfn)(static_cast<UINT>(w), LOWORD(l), HIWORD(l));
  return 0;
}
template <auto pfn>
LRESULT AfxCall_mouse(CCmdTarget* t, UINT, WPARAM w, LPARAM l);  // defined in afxwin.h (CPoint)
template <auto pfn>
LRESULT AfxCall_lwl(CCmdTarget* t, UINT, WPARAM w, LPARAM l) {
  return (static_cast<AfxClassOf<pfn>*>(t)->*pfn)(w, l);
}
template <auto pfn>
LRESULT AfxCall_show(CCmdTarget* t, UINT, WPARAM w, LPARAM l) {
  (static_cast<AfxClassOf<pfn>*>(t)->*pfn)(static_cast<BOOL>(w), static_cast<UINT>(l));
  return 0;
}
template <auto pfn>
LRESULT AfxCall_char(CCmdTarget* t, UINT, WPARAM w, LPARAM l) {
  (static_cast<AfxClassOf<pfn>*>(t)->*pfn)(static_cast<UINT>(w), static_cast<UINT>(LOWORD(l)),
                                              static_cast<UINT>(HIWORD(l)));
  return 0;
}
template <auto pfn>
LRESULT AfxCall_focus(CCmdTarget* t, UINT, WPARAM w, LPARAM l);  // defined in afxwin.h (CWnd)

#define DECLARE_MESSAGE_MAP()                 \
protected:                                    \
  static const AFX_MSGMAP* GetThisMessageMap(); \
  const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                               \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }          \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                          \
    typedef theClass ThisClass;                                                              \
    typedef baseClass TheBaseClass;                                                          \
    static_assert(sizeof(ThisClass) > 0 && sizeof(TheBaseClass) > 0, "complete classes");    \
    static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                          \
  {0, 0, 0, 0, AfxSig_end, nullptr}};                                              \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
    return &messageMap;                                                            \
  }

// Commands and control notifications (WM_COMMAND), handler void ().
#define ON_COMMAND(id, memberFxn) \
  {WM_COMMAND, 0, (UINT)(id), (UINT)(id), AfxSig_entry, &AfxCall_v<&ThisClass::memberFxn>},
#define ON_CONTROL(wNotifyCode, id, memberFxn) \
  {WM_COMMAND, (UINT)(wNotifyCode), (UINT)(id), (UINT)(id), AfxSig_entry, &AfxCall_v<&ThisClass::memberFxn>},
// Handler void (UINT nID) for every id from id to idLast.
#define ON_COMMAND_RANGE(id, idLast, memberFxn) \
  {WM_COMMAND, 0, (UINT)(id), (UINT)(idLast), AfxSig_entry, &AfxCall_id<&ThisClass::memberFxn>},
#define ON_CONTROL_RANGE(wNotifyCode, id, idLast, memberFxn)                              \
  {WM_COMMAND, (UINT)(wNotifyCode), (UINT)(id), (UINT)(idLast), AfxSig_entry,             \
   &AfxCall_id<&ThisClass::memberFxn>},

#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(EN_UPDATE, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_MAXTEXT(id, memberFxn) ON_CONTROL(EN_MAXTEXT, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_EDITUPDATE(id, memberFxn) ON_CONTROL(CBN_EDITUPDATE, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_CBN_DBLCLK(id, memberFxn) ON_CONTROL(CBN_DBLCLK, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)

// Window messages, with the handler names and signatures of MFC.
#define ON_WM_PAINT() {WM_PAINT, 0, 0, 0, AfxSig_entry, &AfxCall_v<&ThisClass::OnPaint>},
#define ON_WM_CLOSE() {WM_CLOSE, 0, 0, 0, AfxSig_entry, &AfxCall_v<&ThisClass::OnClose>},
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, 0, AfxSig_entry, &AfxCall_v<&ThisClass::OnDestroy>},
// void OnSize(UINT nType, int cx, int cy)
#define ON_WM_SIZE() {WM_SIZE, 0, 0, 0, AfxSig_entry, &AfxCall_size<&ThisClass::OnSize>},
// void OnXxx(UINT nFlags, CPoint point), point in client coordinates
#define ON_WM_LBUTTONDOWN() {WM_LBUTTONDOWN, 0, 0, 0, AfxSig_entry, &AfxCall_mouse<&ThisClass::OnLButtonDown>},
#define ON_WM_LBUTTONUP() {WM_LBUTTONUP, 0, 0, 0, AfxSig_entry, &AfxCall_mouse<&ThisClass::OnLButtonUp>},
#define ON_WM_LBUTTONDBLCLK() \
  {WM_LBUTTONDBLCLK, 0, 0, 0, AfxSig_entry, &AfxCall_mouse<&ThisClass::OnLButtonDblClk>},
#define ON_WM_RBUTTONDOWN() {WM_RBUTTONDOWN, 0, 0, 0, AfxSig_entry, &AfxCall_mouse<&ThisClass::OnRButtonDown>},
#define ON_WM_RBUTTONUP() {WM_RBUTTONUP, 0, 0, 0, AfxSig_entry, &AfxCall_mouse<&ThisClass::OnRButtonUp>},
#define ON_WM_MOUSEMOVE() {WM_MOUSEMOVE, 0, 0, 0, AfxSig_entry, &AfxCall_mouse<&ThisClass::OnMouseMove>},
// void OnShowWindow(BOOL bShow, UINT nStatus)
#define ON_WM_SHOWWINDOW() {WM_SHOWWINDOW, 0, 0, 0, AfxSig_entry, &AfxCall_show<&ThisClass::OnShowWindow>},
// void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
#define ON_WM_CHAR() {WM_CHAR, 0, 0, 0, AfxSig_entry, &AfxCall_char<&ThisClass::OnChar>},
#define ON_WM_KEYDOWN() {WM_KEYDOWN, 0, 0, 0, AfxSig_entry, &AfxCall_char<&ThisClass::OnKeyDown>},
// void OnSetFocus(CWnd* pOldWnd), void OnKillFocus(CWnd* pNewWnd)
#define ON_WM_SETFOCUS() {WM_SETFOCUS, 0, 0, 0, AfxSig_entry, &AfxCall_focus<&ThisClass::OnSetFocus>},
#define ON_WM_KILLFOCUS() {WM_KILLFOCUS, 0, 0, 0, AfxSig_entry, &AfxCall_focus<&ThisClass::OnKillFocus>},
// LRESULT memberFxn(WPARAM, LPARAM) for any message.
#define ON_MESSAGE(message, memberFxn) \
  {(UINT)(message), 0, 0, 0, AfxSig_entry, &AfxCall_lwl<&ThisClass::memberFxn>},
