// A backend for tests: each modal dialog runs the queued steps until it ends, file dialogs
// take queued answers, message boxes are recorded. Also the steps the dialog tests take by
// control id, and running a dialog on steps.
#pragma once
#include <afxwin.h>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "contura/afx/ui_backend.h"

// Dialog templates of the test program.
#define IDD_TEST 300
#define IDD_SMALL 301
#define IDD_UNKNOWN_CLASS 302
#define IDC_LIST 1001
#define IDC_NAME 1002
#define IDC_ADD 1003
#define IDC_NUMBER 1004
#define IDC_KIND 1005
#define IDC_VIEW 1006
#define IDC_SORTED 1007
#define IDC_CHECK 1008
#define IDC_CHOICE 1009
#define IDC_HEIGHT 1010
#define IDC_NOTES 1011
#define IDC_HIDDEN 1012
#define IDC_DISABLED 1013

// The window class of the custom control in IDD_TEST.
inline constexpr const char* kViewClass = "TestDraw2D";

class TestBackend : public contura::afx::UiBackend {
public:
  using Step = std::function<void(contura::afx::DialogSession&)>;
  std::deque<Step> steps;
  std::vector<UINT> dialogsRun;  // template ids, in the order their loops started
  std::deque<std::optional<std::string>> fileAnswers;
  std::vector<contura::afx::FileDialogRequest> fileRequests;
  std::deque<int> boxAnswers;
  std::vector<contura::afx::MessageBoxRequest> boxes;
  std::vector<BOOL> ownerEnabledDuringBox;

  void runModal(contura::afx::DialogSession& session) override {
    dialogsRun.push_back(session.templateId());
    while (!session.ended() && !steps.empty()) {
      Step step = std::move(steps.front());
      steps.pop_front();
      step(session);
    }
  }
  std::optional<std::string> chooseFile(const contura::afx::FileDialogRequest& request) override {
    fileRequests.push_back(request);
    if (fileAnswers.empty()) return std::nullopt;
    std::optional<std::string> answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
  }
  int messageBox(const contura::afx::MessageBoxRequest& request) override {
    boxes.push_back(request);
    ownerEnabledDuringBox.push_back(IsWindowEnabled(request.owner));
    if (boxAnswers.empty()) return contura::afx::messageBoxButtons(request.type).front();
    int answer = boxAnswers.front();
    boxAnswers.pop_front();
    return answer;
  }
};

// Registers the custom control class once.
void registerViewClass();

// Runs `dialog` modally through `backend`, which takes `steps` in turn; DoModal's result.
inline INT_PTR runDialog(CDialog& dialog, TestBackend& backend, std::vector<TestBackend::Step> steps) {
  backend.steps.assign(steps.begin(), steps.end());
  contura::afx::ScopedUiBackend scope(backend);
  return dialog.DoModal();
}
inline INT_PTR runDialog(CDialog& dialog, std::vector<TestBackend::Step> steps) {
  TestBackend backend;
  return runDialog(dialog, backend, std::move(steps));
}

// Steps by control id; each expects its action to be done.
namespace steps {
using contura::afx::ActionStatus;
using contura::afx::DialogSession;
using Step = TestBackend::Step;

inline HWND item(DialogSession& s, int id) { return GetDlgItem(s.dialog(), id); }
inline std::string itemText(DialogSession& s, int id) {
  CString text;
  CWnd::FromHandle(item(s, id))->GetWindowText(text);
  return text.GetString();
}
inline Step click(int id, ActionStatus expected = ActionStatus::kDone) {
  return [=](DialogSession& s) { EXPECT_EQ(s.click(item(s, id)), expected) << id; };
}
inline Step typeInto(int id, std::string text) {
  return [=](DialogSession& s) { EXPECT_EQ(s.type(item(s, id), text), ActionStatus::kDone) << id; };
}
inline Step chooseRow(int id, int row) {
  return [=](DialogSession& s) {
    EXPECT_EQ(s.select(item(s, id), contura::afx::RowRef::number(row)), ActionStatus::kDone) << id;
  };
}
// OK clicked; `expectEnded`: whether the dialog accepts what its boxes hold.
inline Step clickOk(bool expectEnded) {
  return [=](DialogSession& s) {
    EXPECT_EQ(s.click(item(s, IDOK)), ActionStatus::kDone);
    EXPECT_EQ(s.ended(), expectEnded);
  };
}
inline Step pressCancel() {
  return [](DialogSession& s) { EXPECT_EQ(s.pressCancel(), ActionStatus::kDone); };
}
inline Step closeBox() {
  return [](DialogSession& s) { EXPECT_EQ(s.close(), ActionStatus::kDone); };
}
}  // namespace steps
