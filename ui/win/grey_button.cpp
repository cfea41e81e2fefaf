// The grey push buttons (see grey_button.h).
#include "grey_button.h"

#include <string>

#include "form_layout.h"
#include "win_layout.h"
#include "win_text.h"

namespace qrticket::ui {

void DrawGreyButton(const DRAWITEMSTRUCT& item) {
  const HDC dc = item.hDC;
  RECT face = item.rcItem;
  const bool pushed = (item.itemState & ODS_SELECTED) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;

  const HBRUSH grey = CreateSolidBrush(ColourOf(kButtonFace));
  FillRect(dc, &face, grey);
  DeleteObject(grey);
  DrawEdge(dc, &face, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);

  RECT caption = face;
  if (pushed) OffsetRect(&caption, 1, 1);
  const std::wstring text = WindowTextOf(item.hwndItem);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, disabled ? ColourOf(kDisabledCaption) : RGB(0, 0, 0));
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &caption,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);

  if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
    RECT focus = face;
    InflateRect(&focus, -2, -2);
    DrawFocusRect(dc, &focus);
  }
}

}  // namespace qrticket::ui
