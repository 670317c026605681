// Checks on the dialog templates as written in resources/quarnel.rc.
#include <gtest/gtest.h>

#include <set>

#include "rc_script.h"
#include "resources/resource.h"

namespace {

using rcscript::Control;
using rcscript::Template;

class RcScript : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::string dir = QUARNEL_SOURCE_DIR "/resources/";
    defines_ = new std::map<std::string, int>(
        rcscript::ReadDefines(rcscript::ReadFile(dir + "resource.h")));
    templates_ = new std::vector<Template>(
        rcscript::ReadTemplates(rcscript::ReadFile(dir + "quarnel.rc"), *defines_));
  }
  static void TearDownTestSuite() {
    delete templates_;
    delete defines_;
  }
  static const Template& Find(int id) {
    for (const Template& t : *templates_)
      if (t.id == id) return t;
    throw std::runtime_error("no template " + std::to_string(id));
  }
  // Height a control takes on screen: a closed drop-down list is one line,
  // whatever drop height the template gives it.
  static int ShownHeight(const Control& c) {
    return c.statement == "COMBOBOX" ? 12 : c.height;
  }
  static std::map<std::string, int>* defines_;
  static std::vector<Template>* templates_;
};
std::map<std::string, int>* RcScript::defines_;
std::vector<Template>* RcScript::templates_;

TEST_F(RcScript, HoldsEveryTemplateWithItsCaptionSizeAndFont) {
  struct Expected {
    int id;
    const char* caption;
    int width, height;
  };
  const Expected expected[] = {
      {IDD_ABOUTBOX, "About qnset", 230, 43},
      {IDD_CONFIG, "Quarnel 4.1d", 335, 253},
      {IDD_WEP64_KEYS, "64bit WEP Key Settings", 223, 80},
      {IDD_EAP_ID, "EAP OL ID", 184, 83},
      {IDD_CHANGE_PASSWORD, "Change Password", 136, 63},
      {IDD_WEP128_KEYS, "128bit WEP Key  Settings", 303, 78},
      {IDD_PROGRESS, "Quarnel", 211, 44},
      {IDD_STARTUP_OPTIONS, "Startup Options", 229, 68},
  };
  ASSERT_EQ(templates_->size(), sizeof expected / sizeof expected[0]);
  for (const Expected& e : expected) {
    const Template& t = Find(e.id);
    SCOPED_TRACE(t.name);
    EXPECT_EQ(t.caption, e.caption);
    EXPECT_EQ(t.width, e.width);
    EXPECT_EQ(t.height, e.height);
    EXPECT_EQ(t.font, "8, \"MS Sans Serif\"");
    for (const char* bit : {"DS_MODALFRAME", "WS_POPUP", "WS_CAPTION", "WS_SYSMENU"})
      EXPECT_NE(t.style.find(bit), std::string::npos) << bit;
  }
  EXPECT_EQ(Find(IDD_CONFIG).exStyle, "WS_EX_APPWINDOW");
}

TEST_F(RcScript, NoTemplateRepeatsAControlId) {
  for (const Template& t : *templates_) {
    std::set<int> seen;
    for (const Control& c : t.controls) {
      if (c.id == IDC_STATIC) continue;
      EXPECT_TRUE(seen.insert(c.id).second) << t.name << " repeats id " << c.id << " (" << c.idName << ")";
    }
  }
}

TEST_F(RcScript, EveryControlLiesInsideItsDialog) {
  for (const Template& t : *templates_) {
    for (const Control& c : t.controls) {
      EXPECT_TRUE(c.x >= 0 && c.y >= 0 && c.x + c.width <= t.width && c.y + ShownHeight(c) <= t.height)
          << t.name << " " << c.idName << " \"" << c.text << "\"";
    }
  }
}

TEST_F(RcScript, DropDownListsAreUnsortedAndEditsTakeAnySign) {
  for (const Template& t : *templates_) {
    for (const Control& c : t.controls) {
      if (c.statement == "COMBOBOX") {
        EXPECT_NE(c.style.find("CBS_DROPDOWNLIST"), std::string::npos) << t.name << " " << c.idName;
        EXPECT_EQ(c.style.find("CBS_SORT"), std::string::npos) << t.name << " " << c.idName;
        EXPECT_GE(c.height, 40) << t.name << " " << c.idName << ": drop height too small to show a list";
      }
      if (c.statement == "EDITTEXT") {
        EXPECT_EQ(c.style.find("ES_NUMBER"), std::string::npos) << c.idName;
      }
    }
  }
}

bool Overlap(int ax, int ay, int aw, int ah, int bx, int by, int bw, int bh) {
  return ax < bx + bw && bx < ax + aw && ay < by + bh && by < ay + ah;
}

bool Inside(const Control& inner, int innerHeight, const Control& frame) {
  return inner.x >= frame.x && inner.y >= frame.y && inner.x + inner.width <= frame.x + frame.width &&
         inner.y + innerHeight <= frame.y + frame.height;
}

// Eight unlabelled frames; every other control in exactly one of them and
// clear of every other control.
TEST_F(RcScript, MainWindowControlsSitInTheirFramesWithoutOverlapping) {
  const Template& t = Find(IDD_CONFIG);
  std::vector<Control> frames, others;
  for (const Control& c : t.controls) (c.statement == "GROUPBOX" ? frames : others).push_back(c);
  ASSERT_EQ(frames.size(), 8u);
  for (const Control& f : frames) EXPECT_EQ(f.text, "");
  for (size_t i = 0; i < frames.size(); ++i)
    for (size_t j = i + 1; j < frames.size(); ++j)
      EXPECT_FALSE(Overlap(frames[i].x, frames[i].y, frames[i].width, frames[i].height, frames[j].x,
                           frames[j].y, frames[j].width, frames[j].height))
          << "frames " << i << " and " << j;
  for (const Control& c : others) {
    int holders = 0;
    for (const Control& f : frames) holders += Inside(c, ShownHeight(c), f);
    EXPECT_EQ(holders, 1) << c.idName << " \"" << c.text << "\"";
  }
  for (size_t i = 0; i < others.size(); ++i) {
    for (size_t j = i + 1; j < others.size(); ++j) {
      const Control& a = others[i];
      const Control& b = others[j];
      EXPECT_FALSE(Overlap(a.x, a.y, a.width, ShownHeight(a), b.x, b.y, b.width, ShownHeight(b)))
          << a.idName << " \"" << a.text << "\" overlaps " << b.idName << " \"" << b.text << "\"";
    }
  }
}

// The progress window's two controls are placed to the unit.
TEST_F(RcScript, ProgressWindowControls) {
  const Template& t = Find(IDD_PROGRESS);
  ASSERT_EQ(t.controls.size(), 2u);
  const Control& status = t.controls[0];
  const Control& bar = t.controls[1];
  EXPECT_EQ(status.id, IDC_PROGRESS_STATUS);
  EXPECT_EQ(status.statement, "CTEXT");
  EXPECT_EQ((std::vector<int>{status.x, status.y, status.width, status.height}), (std::vector<int>{26, 10, 160, 18}));
  EXPECT_EQ(bar.id, IDC_PROGRESS_BAR);
  EXPECT_EQ(bar.windowClass, "msctls_progress32");
  EXPECT_NE(bar.style.find("WS_BORDER"), std::string::npos);
  EXPECT_EQ((std::vector<int>{bar.x, bar.y, bar.width, bar.height}), (std::vector<int>{23, 30, 165, 7}));
  EXPECT_NE(t.style.find("WS_VISIBLE"), std::string::npos);
}

TEST_F(RcScript, ReaderRefusesAnUnknownIdentifier) {
  const std::string script =
      "IDD_CONFIG DIALOGEX 0, 0, 10, 10\nBEGIN\n    EDITTEXT IDC_NO_SUCH_ID, 1, 1, 5, 5\nEND\n";
  EXPECT_THROW(rcscript::ReadTemplates(script, *defines_), std::runtime_error);
}

}  // namespace
