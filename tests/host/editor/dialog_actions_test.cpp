// The dialog actions of the input language: what each line means, and the message for a
// line that is no action.
#include "dialog_actions.h"

#include <gtest/gtest.h>

using contura::host::DialogAction;
using contura::host::parseDialogAction;

namespace {

DialogAction parsed(const std::string& line) {
  std::string error;
  std::optional<DialogAction> action = parseDialogAction(line, error);
  EXPECT_TRUE(action.has_value()) << line << ": " << error;
  EXPECT_TRUE(error.empty());
  return action.value_or(DialogAction{});
}

std::string refused(const std::string& line) {
  std::string error;
  EXPECT_FALSE(parseDialogAction(line, error).has_value()) << line;
  return error;
}

TEST(DialogActions, EachActionWithItsArguments) {
  DialogAction a = parsed("CLICK 201");
  EXPECT_EQ(a.kind, DialogAction::kClick);
  EXPECT_EQ(a.control, "201");
  a = parsed("  dblclick \"上 一页\"  ");
  EXPECT_EQ(a.kind, DialogAction::kDoubleClick);
  EXPECT_EQ(a.control, "上 一页");
  a = parsed("select 200 3");
  EXPECT_EQ(a.kind, DialogAction::kSelect);
  EXPECT_EQ(a.row, 3);
  EXPECT_FALSE(a.rowText);
  a = parsed("select 200 \"12\"");  // quoted: a row's text, even when it looks like a number
  EXPECT_EQ(a.rowText, "12");
  EXPECT_FALSE(a.row);
  a = parsed("choose 231 T 形");  // unquoted text that is no number
  EXPECT_EQ(a.kind, DialogAction::kChoose);
  EXPECT_EQ(a.rowText, "T 形");
  a = parsed("size 640 480");
  EXPECT_EQ(a.kind, DialogAction::kSize);
  EXPECT_EQ(a.width, 640);
  EXPECT_EQ(a.height, 480);
  // ok, cancel, close, show and print run in every dialog transcript (host_ui_test, e2e).
  EXPECT_EQ(parsed("Cancel").kind, DialogAction::kCancel);
}

TEST(DialogActions, TypedTextKeepsBlanksAndResolvesEscapes) {
  DialogAction a = parsed("type 203  two  blanks ");
  EXPECT_EQ(a.kind, DialogAction::kType);
  EXPECT_EQ(a.text, " two  blanks ");  // everything after the one blank that ends the id
  EXPECT_EQ(parsed("type 208 a\\nb\\\\n\\t").text, "a\nb\\n\\t");
  EXPECT_EQ(parsed("type 203").text, "");
  EXPECT_EQ(parsed("type \"名称 框\" 矩形").control, "名称 框");
}

TEST(DialogActions, LinesThatAreNoActionSayWhy) {
  EXPECT_EQ(refused("jump 3"),
            "无效的对话框操作“jump 3”。可用的操作：click、dblclick、select、choose、type、size、ok、cancel、close、print、show。");
  EXPECT_EQ(refused(""), "请输入对话框操作：click、dblclick、select、choose、type、size、ok、cancel、close、print、show。");
  EXPECT_EQ(refused("click"), "用法：click ID");
  EXPECT_EQ(refused("click 1 2"), "用法：click ID");
  EXPECT_EQ(refused("select 200"), "用法：select ID 行号|\"文字\"");
  EXPECT_EQ(refused("size 0 10"), "用法：size 宽 高（像素，正整数）");
  EXPECT_EQ(refused("size 10"), "用法：size 宽 高（像素，正整数）");
  EXPECT_EQ(refused("ok now"), "用法：ok | cancel | close | show");
  EXPECT_EQ(refused("click \"unclosed"), "用法：click ID");
}

}  // namespace
