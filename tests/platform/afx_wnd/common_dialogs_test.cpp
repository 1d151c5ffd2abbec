// File dialogs answered, cancelled and checked as Windows checks them; message boxes.
#include <afxdlgs.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "contura/afx/ui_backend.h"
#include "test_backend.h"

namespace {

struct CommonDialogs : ::testing::Test {
  TestBackend backend;
  contura::afx::ScopedUiBackend scope{backend};
  std::filesystem::path dir;
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("afx_wnd_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string path(const std::string& name) { return (dir / name).string(); }
};

TEST_F(CommonDialogs, SaveDialogGivesThePathAndItsPartsACancelledOneNone) {
  backend.fileAnswers.push_back(path("section.txt"));
  CFileDialog dlg(FALSE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
  HWND main = contura::afx::mainWindow();
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.GetPathName(), path("section.txt").c_str());
  EXPECT_EQ(dlg.GetFileName(), "section.txt");
  EXPECT_EQ(dlg.GetFileExt(), "txt");
  EXPECT_EQ(dlg.GetFileTitle(), "section");
  EXPECT_EQ(dlg.GetFolderPath(), dir.string().c_str());
  ASSERT_EQ(backend.fileRequests.size(), 1u);
  const contura::afx::FileDialogRequest& r = backend.fileRequests[0];
  EXPECT_FALSE(r.open);
  EXPECT_EQ(r.title, "另存为");
  EXPECT_EQ(r.flags & (OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT), static_cast<DWORD>(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT));
  EXPECT_EQ(r.owner, main);
  EXPECT_TRUE(IsWindowEnabled(main));
  // Cancelled: no path.
  backend.fileAnswers.push_back(std::nullopt);
  CFileDialog cancelled(TRUE);
  EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
  EXPECT_EQ(cancelled.GetPathName(), "");
  EXPECT_EQ(backend.fileRequests.at(1).title, "打开");
}

TEST_F(CommonDialogs, ExistingFileIsReplacedOnlyWhenConfirmed) {
  std::ofstream(path("old.txt")) << "x";
  backend.fileAnswers = {path("old.txt"), path("old.txt"), path("new")};
  backend.boxAnswers = {IDNO, IDYES};
  CFileDialog first(FALSE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
  ASSERT_EQ(first.DoModal(), IDOK);
  EXPECT_EQ(backend.fileRequests.size(), 2u);  // No asked for the path again
  ASSERT_EQ(backend.boxes.size(), 2u);
  EXPECT_EQ(backend.boxes[0].text, path("old.txt") + " 已存在。\n要替换它吗？");
  EXPECT_EQ(backend.boxes[0].type & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
  EXPECT_EQ(first.GetPathName(), path("old.txt").c_str());

  // Without the prompt flag nothing is asked; a default extension completes a bare name.
  CFileDialog second(FALSE, "txt", nullptr, OFN_HIDEREADONLY);
  ASSERT_EQ(second.DoModal(), IDOK);
  EXPECT_EQ(second.GetPathName(), path("new.txt").c_str());
  EXPECT_EQ(backend.boxes.size(), 2u);
}

TEST_F(CommonDialogs, OpenDialogRefusesMissingFilesWhenAskedTo) {
  std::ofstream(path("here.txt")) << "x";
  backend.fileAnswers = {path("missing.txt"), path("nodir/x.txt"), path("here.txt")};
  CFileDialog strict(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST, "文本 (*.txt)|*.txt|全部|*.*||");
  ASSERT_EQ(strict.DoModal(), IDOK);
  EXPECT_EQ(strict.GetPathName(), path("here.txt").c_str());
  ASSERT_EQ(backend.boxes.size(), 2u);
  EXPECT_EQ(backend.boxes[0].text, path("missing.txt") + "\n找不到文件。\n请检查文件名是否正确，然后重试。");
  ASSERT_EQ(backend.fileRequests[0].filters.size(), 2u);
  EXPECT_EQ(backend.fileRequests[0].filters[0], (std::pair<std::string, std::string>{"文本 (*.txt)", "*.txt"}));

  // The module's Open dialog (no existence flag) takes a missing file: opening it fails later.
  backend.fileAnswers = {path("missing.txt")};
  CFileDialog lenient(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
  EXPECT_EQ(lenient.DoModal(), IDOK);
  // A folder is no file name.
  backend.fileAnswers = {dir.string(), std::nullopt};
  CFileDialog folder(TRUE);
  EXPECT_EQ(folder.DoModal(), IDCANCEL);
  EXPECT_EQ(backend.boxes.back().text, dir.string() + "\n文件名无效。");
}

TEST_F(CommonDialogs, MessageBoxesShowTextCaptionAndButtons) {
  HWND main = contura::afx::mainWindow();
  EXPECT_EQ(AfxMessageBox("名称为空"), IDOK);
  EXPECT_EQ(AfxMessageBox(500, MB_OKCANCEL), IDOK);
  backend.boxAnswers = {IDNO, IDRETRY};
  EXPECT_EQ(::MessageBox(main, "问", nullptr, MB_YESNO), IDNO);
  EXPECT_EQ(::MessageBox(main, "坏答", "题", MB_YESNO), IDNO);  // an answer that is no button: the last one
  ASSERT_EQ(backend.boxes.size(), 4u);
  EXPECT_EQ(backend.boxes[0].text, "名称为空");
  EXPECT_EQ(backend.boxes[0].caption, "Contura");
  EXPECT_EQ(backend.boxes[1].text, "资源中的提示");
  EXPECT_EQ(backend.boxes[2].caption, "错误");
  EXPECT_EQ(backend.ownerEnabledDuringBox, (std::vector<BOOL>{FALSE, FALSE, FALSE, FALSE}));
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_EQ(contura::afx::messageBoxButtons(MB_YESNOCANCEL | MB_ICONWARNING), (std::vector<int>{IDYES, IDNO, IDCANCEL}));
}

}  // namespace
