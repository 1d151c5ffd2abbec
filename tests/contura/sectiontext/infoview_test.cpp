// Tests of the information view of CJLX and its preview: export and import as bytes, the
// zero byte, the buffer size, typed text that is never read back, modify pressed twice, and
// the preview's view and picture. (Files that cannot be read or written, with their messages,
// are checked by the end-to-end scripts.)
#include <gtest/gtest.h>

#include <Draw2DWindow.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/DlgViewSection.h"
#include "app/InfoViewDlg.h"
#include "drawing_fixture.h"
#include "resources/SectionTextResource.h"
#include "test_backend.h"

using contura::afx::DialogSession;

namespace {

const char kText[] =
    "[Line]\nPoint=0,0;1000,0\nColor=255,0,0\nLayer=0\n\n"
    "[Circle]\nCenter=500,300\nRadius=150\nColor=255,0,0\nLayer=0\n";

struct TempDir {
  std::filesystem::path path;
  TempDir() {
    path = std::filesystem::temp_directory_path() / ("infoview-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                                     "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
  }
  ~TempDir() { std::filesystem::remove_all(path); }
  std::string file(const char* name) const { return (path / name).string(); }
};

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

using steps::click;

std::string richText(DialogSession& s) {
  char buf[4096] = {};
  GetWindowText(GetDlgItem(s.dialog(), IDC_INFO_TEXT), buf, sizeof buf);
  return buf;
}

// Runs the view on `text` with the steps; returns the held text afterwards.
std::string runView(TestBackend& backend, const std::string& text) {
  contura::afx::ScopedUiBackend scope(backend);
  CInfoViewDlg dlg(NULL);
  dlg.m_strText = text.c_str();
  dlg.DoModal();
  return std::string(dlg.m_strText.GetString(), dlg.m_strText.GetLength());
}

TEST(InfoView, ShowsTheTextExportsItAndModifyDrawsItEachTime) {
  Drawing d;
  TempDir dir;
  TestBackend b;
  b.fileAnswers = {dir.file("out.txt"), std::nullopt};
  b.steps = {[](DialogSession& s) { EXPECT_EQ(richText(s), kText); },
             // What is typed into the box is never read back, neither by export nor by modify.
             [](DialogSession& s) { s.type(GetDlgItem(s.dialog(), IDC_INFO_TEXT), "[Circle]\nCenter=1,1\nColor=1,1,1\n"); },
             click(IDC_INFO_EXPORT), click(IDC_INFO_EXPORT) /* cancelled */,
             click(IDC_INFO_MODIFY), click(IDC_INFO_MODIFY), click(IDOK)};
  EXPECT_EQ(runView(b, kText), kText);
  EXPECT_EQ(readBytes(dir.file("out.txt")), kText);
  ASSERT_EQ(b.fileRequests.size(), 2u);
  EXPECT_FALSE(b.fileRequests[0].open);
  EXPECT_EQ(b.fileRequests[0].defaultExt, "");
  EXPECT_EQ(b.fileRequests[0].flags & (OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT),
            static_cast<DWORD>(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT));
  auto ids = d.modelSpace();
  ASSERT_EQ(ids.size(), 4u);  // two copies of the line and the circle
  Opened<AcDbCircle> c(ids[3]);
  EXPECT_EQ(c->radius(), 150.0);
}

// Imports and exports as bytes: an empty text truncates the file, CR LF and double-byte text
// come back as they were, a zero byte ends the import, and a file of exactly the buffer size is
// read whole (one byte more is refused, as the end-to-end scripts check with the messages).
TEST(InfoView, ImportAndExportKeepTheBytes) {
  Drawing d;
  TempDir dir;
  writeBytes(dir.file("old.txt"), "previous content");
  std::string chinese = "[Text]\nValue=\xD6\xD0\xCE\xC4\r\nHeight=1\n";
  writeBytes(dir.file("in.txt"), chinese);
  writeBytes(dir.file("zero.txt"), std::string("[Line]\nPoint=1,1;2,2\0tail", 25));
  writeBytes(dir.file("exact.txt"), std::string(1000000, 'y'));
  TestBackend b;
  b.fileAnswers = {dir.file("old.txt"), dir.file("in.txt"), dir.file("again.txt"), dir.file("zero.txt"),
                   dir.file("exact.txt")};
  b.steps = {click(IDC_INFO_EXPORT), click(IDC_INFO_IMPORT),
             [&](DialogSession& s) { EXPECT_EQ(richText(s), chinese); }, click(IDC_INFO_EXPORT),
             click(IDC_INFO_IMPORT), [](DialogSession& s) { EXPECT_EQ(richText(s), "[Line]\nPoint=1,1;2,2"); },
             click(IDC_INFO_IMPORT), click(IDCANCEL)};
  EXPECT_EQ(runView(b, ""), std::string(1000000, 'y'));
  EXPECT_EQ(readBytes(dir.file("old.txt")), "");
  EXPECT_EQ(readBytes(dir.file("again.txt")), chinese);
}

// (The picture the preview writes, with every record in it, is checked end to end.)
TEST(InfoView, PreviewShowsEveryRecord) {
  Drawing d;
  TestBackend b;
  b.steps = {click(IDC_INFO_PREVIEW),
             [](DialogSession& s) {
               EXPECT_EQ(s.templateId(), static_cast<UINT>(IDD_VIEWSECTION));
               CDraw2DWindow* view = Draw2DWindowFromHandle(GetDlgItem(s.dialog(), IDC_VIEW_SECTION));
               ASSERT_NE(view, nullptr);
               EXPECT_EQ(view->GetDisplayList().shapes.size(), 2u);
               CRect rc;
               view->GetClientRect(&rc);
               EXPECT_EQ(rc.Width(), 492);  // 328 x 214 dialog units
               EXPECT_EQ(rc.Height(), 348);
               EXPECT_NE(view->GetLastPicture().find("<circle"), std::string::npos);
             },
             steps::closeBox(), click(IDOK)};
  runView(b, kText);
  EXPECT_EQ(b.dialogsRun, (std::vector<UINT>{IDD_INFOVIEW, IDD_VIEWSECTION}));
}

TEST(InfoView, PreviewOfAnEmptyTextIsEmpty) {
  Drawing d;
  TestBackend b;
  b.steps = {click(IDC_INFO_PREVIEW),
             [](DialogSession& s) {
               CDraw2DWindow* view = Draw2DWindowFromHandle(GetDlgItem(s.dialog(), IDC_VIEW_SECTION));
               ASSERT_NE(view, nullptr);
               EXPECT_TRUE(view->GetDisplayList().empty());
               char text[64] = {};
               GetWindowText(GetDlgItem(s.dialog(), IDC_VIEW_SECTION), text, sizeof text);
               EXPECT_STREQ(text, "\xBF\xD5");  // 空
             },
             steps::closeBox(), click(IDOK)};
  runView(b, "");
}

}  // namespace
