// The layout tables: twips to pixels at the screen's DPI, the focus order, that every control
// stands in the container it names, and that Form1's wiring names each control once.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "form_layout.h"

namespace qrticket::ui {
namespace {

struct TwipsRow {
  int twips, dpi, pixels;
};

TEST(TwipsToPixels, NearestPixelHalvesUp) {
  const TwipsRow rows[] = {
      {7275, 96, 485}, {7575, 96, 505}, {75, 96, 5},    {7, 96, 0},     {8, 96, 1},
      {7275, 144, 728}, {75, 144, 8},   {1125, 144, 113}, {2490, 144, 249}, {14, 144, 1},
      {7860, 120, 655}, {6, 120, 1},    {5, 120, 0},     {390, 192, 52},
  };
  for (const TwipsRow& row : rows)
    EXPECT_EQ(TwipsToPixels(row.twips, row.dpi), row.pixels) << row.twips << " at " << row.dpi;
}

std::vector<std::string> Names(const std::vector<const ControlSpec*>& controls) {
  std::vector<std::string> names;
  for (const ControlSpec* control : controls) names.emplace_back(control->name);
  return names;
}

TEST(FocusOrder, Form1AsTheOperatorTabs) {
  EXPECT_EQ(Names(FocusOrder(Form1Layout())),
            (std::vector<std::string>{"Text1", "Command1", "Command2", "cmdEstado", "ObjPrint",
                                      "Tamanho", "ListModel", "ListError", "ChkPag",
                                      "chkCentrado", "chkNew"}));
  EXPECT_TRUE(FocusOrder(SplashLayout()).empty()) << "nothing on the splash takes the keyboard";
}

TEST(Layout, EveryControlStandsInItsContainer) {
  for (const WindowSpec* window : {&Form1Layout(), &SplashLayout()}) {
    for (const ControlSpec& control : window->controls) {
      SCOPED_TRACE(std::string(window->name) + "." + std::string(control.name));
      int width = window->clientWidth, height = window->clientHeight;
      if (control.container != window->name) {
        const ControlSpec* container = FindControl(*window, control.container);
        ASSERT_NE(container, nullptr);
        EXPECT_EQ(container->kind, ControlKind::Frame);
        EXPECT_LT(container - window->controls.data(), &control - window->controls.data())
            << "containers come first";
        width = container->rect.width;
        height = container->rect.height;
      }
      // Each starts inside it; some were drawn past its edge (Label3 by 90 twips, the three
      // hidden controls across the window's bottom), which the container cuts off.
      EXPECT_GE(control.rect.left, 0);
      EXPECT_GE(control.rect.top, 0);
      EXPECT_LT(control.rect.left, width);
      EXPECT_LT(control.rect.top, height);
    }
  }
}

// The behaviour names each control it knows once, by a row of Form1's table, and opens each
// menu on one of them.
TEST(Layout, EveryControlTheBehaviourKnowsHasOneRow) {
  const WindowSpec& form = Form1Layout();
  for (int value = static_cast<int>(Control::None) + 1;
       value <= static_cast<int>(Control::cmdEstado); ++value) {
    const auto control = static_cast<Control>(value);
    SCOPED_TRACE(value);
    EXPECT_EQ(std::count_if(form.controls.begin(), form.controls.end(),
                            [control](const ControlSpec& row) { return row.control == control; }),
              1);
    EXPECT_EQ(Form1Row(control).control, control);
  }
  for (const MenuSpec& menu : form.menus) {
    SCOPED_TRACE(std::string(menu.name));
    // Buttons, and labels, which the views make take the right button (the symbol line).
    const ControlKind owner = Form1Row(menu.owner).kind;
    EXPECT_TRUE(owner == ControlKind::Button || owner == ControlKind::Label);
    EXPECT_EQ(Form1MenuOf(menu.owner), &menu) << "one menu a control";
    EXPECT_FALSE(menu.items.empty());
    for (const MenuItemSpec& item : menu.items) EXPECT_FALSE(item.caption().empty());
  }
}

}  // namespace
}  // namespace qrticket::ui
