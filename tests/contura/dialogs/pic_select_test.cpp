// CDlgPicSelect over a real library: pages of eight, the page buttons, clicks and
// double-clicks on thumbnails through the mouse messages.
#include <Draw2DWindow.h>
#include <gtest/gtest.h>

#include <functional>

#include "dialogs/DlgPicSelect.h"
#include "library_fixture.h"
#include "test_backend.h"

using contura::afx::ActionStatus;
using contura::afx::DialogSession;
using steps::click;
using steps::item;

namespace {

const int kPics[8] = {IDC_PIC_0, IDC_PIC_1, IDC_PIC_2, IDC_PIC_3, IDC_PIC_4, IDC_PIC_5, IDC_PIC_6, IDC_PIC_7};
const int kNames[8] = {IDC_PICNAME_0, IDC_PICNAME_1, IDC_PICNAME_2, IDC_PICNAME_3,
                       IDC_PICNAME_4, IDC_PICNAME_5, IDC_PICNAME_6, IDC_PICNAME_7};

// A library of `count` records, record i named "截面i" and drawn as a circle of radius i + 1.
class PicSelect : public LibraryTest {
protected:
  void TearDown() override {
    store_.reset();
    LibraryTest::TearDown();
  }
  void makeLibrary(int count) {
    store_ = std::make_unique<CSectionLibStore>(path());
    for (int i = 0; i < count; ++i) {
      auto* rec = new CSectionLibRecord;
      rec->m_strName.Format("截面%d", i);
      rec->m_strSectionInfo.Format("[Circle]\nCenter=0,0\nRadius=%d\nColor=255,0,0\nLayer=0\n", i + 1);
      rec->m_nType = 1;
      rec->m_nGroupSec = 1;
      ASSERT_EQ(store_->Add(rec), 0) << store_->m_strError.GetString();
    }
  }
  // Runs the dialog on the store with `steps`; returns DoModal's result.
  INT_PTR run(CDlgPicSelect& dlg, std::vector<steps::Step> steps) {
    dlg.SetLibStore(store_.get());
    return runDialog(dlg, std::move(steps));
  }

  std::unique_ptr<CSectionLibStore> store_;
};

CString label(DialogSession& s, int slot) {
  char text[64] = {};
  GetWindowText(item(s, kNames[slot]), text, sizeof text);
  return text;
}

CDrawDwgWnd& pic(DialogSession& s, int slot) {
  return *static_cast<CDrawDwgWnd*>(Draw2DWindowFromHandle(item(s, kPics[slot])));
}

// The radius shown in a slot (its record index + 1), or 0 for an empty slot.
double shownRadius(DialogSession& s, int slot) {
  const vistrel::DisplayList& list = pic(s, slot).GetDisplayList();
  return list.shapes.empty() ? 0.0 : list.shapes[0].radius;
}

// Checks page `page` of a library of `count` records and the state of the page buttons.
void expectPage(DialogSession& s, int page, int count) {
  const int last = (count + 7) / 8 - 1;
  EXPECT_EQ(IsWindowEnabled(item(s, IDC_BTN_PREV_PAGE)), count > 0 && page > 0) << page;
  EXPECT_EQ(IsWindowEnabled(item(s, IDC_BTN_NEXT_PAGE)), count > 0 && page < last) << page;
  for (int slot = 0; slot < 8; ++slot) {
    const int index = page * 8 + slot;
    CString expected;
    if (index < count) expected.Format("截面%d", index);
    EXPECT_EQ(label(s, slot), expected) << "page " << page << " slot " << slot;
    EXPECT_EQ(shownRadius(s, slot), index < count ? index + 1 : 0) << "page " << page << " slot " << slot;
    EXPECT_EQ(pic(s, slot).GetViewText(), 0);
  }
}

void expectFrameOnlyOn(DialogSession& s, int frameSlot) {
  for (int slot = 0; slot < 8; ++slot) EXPECT_EQ(pic(s, slot).GetSelectRect(), slot == frameSlot ? 1 : 0) << slot;
}

}  // namespace

// Seventeen records over three pages, the slot of page two that is index ten, and the
// double-click that ends the browser are an end-to-end library run; here the edge of exactly
// one page, clicks that must change nothing, the frame, and empty slots.
TEST_F(PicSelect, OnePageClicksFramesAndEmptySlots) {
  makeLibrary(8);
  CDlgPicSelect full;
  INT_PTR result = run(full, {[](DialogSession& s) { expectPage(s, 0, 8); }, click(kPics[2]),
                              // A click on a label changes nothing.
                              click(kNames[5]),
                              [&full](DialogSession& s) {
                                EXPECT_EQ(full.GetSelectIndex(), 2);
                                expectFrameOnlyOn(s, 2);
                                EXPECT_EQ(s.doubleClick(item(s, kPics[6])), ActionStatus::kDone);
                                EXPECT_TRUE(s.ended());
                              }});
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(full.GetSelectIndex(), 6);

  CDlgPicSelect cancelled;
  EXPECT_EQ(run(cancelled, {click(kPics[4]), click(IDCANCEL)}), IDCANCEL);
  EXPECT_EQ(cancelled.GetSelectIndex(), 4);

  // Empty slots are ignored, even double-clicked (which still ends the browser).
  store_ = std::make_unique<CSectionLibStore>(CString((dir_ / "missing.mdb").c_str()));
  CDlgPicSelect empty;
  EXPECT_EQ(run(empty, {[](DialogSession& s) { expectPage(s, 0, 0); }, click(kPics[3]),
                        [](DialogSession& s) {
                          expectFrameOnlyOn(s, 0);
                          s.doubleClick(item(s, kPics[5]));
                        }}),
            IDOK);
  EXPECT_EQ(empty.GetSelectIndex(), 0);
}
