// Whole script runs of the host against the tests' editor module: the transcript of points,
// keywords, texts, picks, selections and a dialog, and the end of a script while a request
// is pending.
#include "session.h"

#include <contura/rx/app_loader.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string run(const std::string& script) {
  std::istringstream in(script);
  std::ostringstream out, err;
  int code = contura::host::runProgram({"--script", "-"}, EDITOR_MODULE, {in, out, err});
  EXPECT_EQ(code, contura::host::kExitOk) << err.str();
  // A script that drew and saved nothing is told so, and told nothing else.
  if (!err.str().empty()) {
    EXPECT_EQ(err.str(), contura::host::kUnsavedChangesNote);
  }
  EXPECT_TRUE(contura::rx::loadedApplications().empty());
  return out.str();
}

TEST(HostUi, PointsKeywordsAndTextsAndTheEndOfTheScript) {
  EXPECT_EQ(run("pt\n3,4\npt\nabc\n@1,1\npt\n*cancel*\nkw\nxyz\n_arc\n 名字 有 空格\npt\n"),
            "命令: pt\n"
            "指定点: 3,4\n"
            "点 = 3,4,0\n"
            "命令: pt\n"
            "指定点: abc\n"
            "点无效。\n"
            "指定点: @1,1\n"
            "点 = 4,5,0\n"
            "命令: pt\n"
            "指定点: *cancel*\n"
            "*取消*\n"
            "结果 -5002\n"
            "命令: kw\n"
            "指定点或 [圆弧(A)/闭合(C)]: xyz\n"
            "需要点或选项关键字。\n"
            "指定点或 [圆弧(A)/闭合(C)]: _arc\n"
            "关键字 = Arc\n"
            "名称:  名字 有 空格\n"
            "文字 =  名字 有 空格\n"
            "命令: pt\n"
            "输入已结束，取消请求。\n"
            "结果 -5002\n");
}

TEST(HostUi, SelectionsAndPicksOnADrawing) {
  EXPECT_EQ(run("demo\nsel\nw -1,-1 11,1\nc 40,40 60,60\nw -1,-1 11,1\n\npick\n52,55\npick\n300,300\n"),
            "命令: demo\n"
            "已画 2 个对象。\n"
            "命令: sel\n"
            "选择对象: w -1,-1 11,1\n"
            "找到 1 个\n"
            "选择对象: c 40,40 60,60\n"
            "找到 1 个，总计 2 个\n"
            "选择对象: w -1,-1 11,1\n"
            "找到 1 个（1 个重复），总计 2 个\n"
            "选择对象: \n"
            "选择集 2 个\n"
            "命令: pick\n"
            "选择对象: 52,55\n"
            "选中 17\n"
            "命令: pick\n"
            "选择对象: 300,300\n"
            "结果 -5001\n");
}

TEST(HostUi, DialogDrivenByAScript) {
  std::filesystem::path file = std::filesystem::temp_directory_path() / "host_ui_dialog_save.txt";
  std::filesystem::remove(file);
  std::string script =
      "dlg\n"
      "; list rows were added sorted: L形, T形, 矩形 (the show layout is checked end to end)\n"
      "select 1001 \"t形\"\n"
      "type 1002 名称\n"
      "click 拾取\n"
      "5,6\n"
      "print 1002\n"
      "click 保存\n" +
      file.string() +
      "\n"
      "click 提示\n"
      "click 999\n"
      "select 1003 0\n"
      "jump\n"
      "select 1001 0\n"
      "ok\n";
  std::string out = run(script);
  std::string expected =
      "命令: dlg\n"
      "对话框“测试对话框”: select 1001 \"t形\"\n"
      "选中 T形（第 1 个加入）\n"
      "对话框“测试对话框”: type 1002 名称\n"
      "对话框“测试对话框”: click 拾取\n"
      "选择基点: 5,6\n"
      "对话框“测试对话框”: print 1002\n"
      "  [1002] 编辑框 “5,6”\n"
      "对话框“测试对话框”: click 保存\n"
      "另存为 文件名: " + file.string() + "\n"
      "对话框“测试对话框”: click 提示\n"
      "[Contura] 完成\n"
      "对话框“测试对话框”: click 999\n"
      "对话框中没有控件“999”。\n"
      "对话框“测试对话框”: select 1003 0\n"
      "控件“1003”不接受这个操作。\n"
      "对话框“测试对话框”: jump\n"
      "无效的对话框操作“jump”。可用的操作：click、dblclick、select、choose、type、size、ok、cancel、close、print、show。\n"
      "对话框“测试对话框”: select 1001 0\n"
      "选中 L形（第 2 个加入）\n"
      "对话框“测试对话框”: ok\n"
      "名称 = " + file.string() + "\n";
  EXPECT_EQ(out, expected);
}

TEST(HostUi, TypedTextReachesTheModuleAsItsCodePage) {
  // The module prints what it read with its own code page; the console shows it as UTF-8.
  std::string out = run("dlg\ntype 1002 矩形 ab\\c\nok\n");
  EXPECT_NE(out.find("\n名称 = 矩形 ab\\c\n"), std::string::npos) << out;
}

TEST(HostUi, ScriptEndingInsideADialogCancelsIt) {
  EXPECT_EQ(run("dlg\ntype 1002 x\n"),
            "命令: dlg\n"
            "对话框“测试对话框”: type 1002 x\n"
            "输入已结束，取消对话框“测试对话框”。\n"
            "对话框结果 2\n");
}

TEST(HostUi, FileDialogCancelledAndMessageBoxQuestions) {
  std::string out = run("dlg\nclick 保存\n*cancel*\nprint 1002\ncancel\n");
  EXPECT_NE(out.find("另存为 文件名: *cancel*\n*取消*\n对话框“测试对话框”: print 1002\n  [1002] 编辑框 “”\n"), std::string::npos)
      << out;
  EXPECT_NE(out.find("对话框结果 2"), std::string::npos) << out;
}

}  // namespace
