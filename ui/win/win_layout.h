// The layout tables at the screen's DPI: where each control goes, its font, and the pictures.
#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

#include "form_layout.h"

namespace qrticket::ui {

// `control`'s place in pixels in the client area of `window`: controls inside a frame are
// children of the window here, at the frame's place plus theirs (each converted on its own).
RECT ControlRect(const WindowSpec& window, const ControlSpec& control, int dpi);
SIZE ClientSize(const WindowSpec& window, int dpi);

COLORREF ColourOf(Rgb rgb);

// The fonts of one window at one DPI, made once each and deleted with this.
class FontSet {
 public:
  FontSet() = default;
  ~FontSet() { Clear(); }
  FontSet(const FontSet&) = delete;
  FontSet& operator=(const FontSet&) = delete;

  HFONT For(const FontSpec& font, int dpi);
  void Clear();

 private:
  struct Made {
    FontSpec spec;
    int dpi;
    HFONT font;
  };
  std::vector<Made> made_;
};

// Gives `window` a client area of `client` pixels, centred on the work area of the screen it
// is on (the primary one for a window not yet shown).
void SizeAndCentre(HWND window, SIZE client);

// A picture of the assets, from the program's resources; null when it is missing.
HBITMAP LoadPicture(Picture picture);
// Draws `bitmap` from the top left of `box`, at its natural size at 96 dpi and in proportion
// at other DPIs, as the layout is.
void DrawPicture(HDC dc, HBITMAP bitmap, const RECT& box, int dpi);

// Tags a control with its name from the layout tables, so that a program looking at the
// window (a test, an accessibility tool) finds it as the tables name it; ForgetNames undoes
// it for `window` and every child of it, before the window goes.
void NameControl(HWND control, std::string_view name);
void ForgetNames(HWND window);
// The name NameControl gave `control`; empty for none. Works from another process too.
std::wstring ControlNameOf(HWND control);

}  // namespace qrticket::ui
