// The windows' words besides the captions of the control tables: tool tips, the limits
// ticket's menu, the status box's lines and the preview's. All of them live in
// form_texts.cpp (the device box's tool tip, which names each platform's devices, in
// port_help.cpp and win/port_help.cpp), so the wording is reviewed in one place.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qrticket::ui::texts {

// The device box's tool tip; `preview` adds what "VISUALIZAR:" does.
std::string DeviceBoxToolTip(bool preview);
// Its first line: the kinds of device name this platform opens.
std::string_view DeviceNamesHelp();
std::string_view PrintButtonToolTip();
std::string_view StatusButtonToolTip();

// The print button's context menu: the limits ticket on either paper.
std::string_view ProbeMenuCaption80();
std::string_view ProbeMenuCaption58();

// The Estado button's context menu: the speed search; its box's first line, naming the device
// as typed, and the line that says what was found and where it went.
std::string_view SpeedSearchMenuCaption();
// The print button's code-table items, and the box that says which table the tickets select.
std::string_view CodeTablesMenuCaption();
std::string_view CodeTableNoneCaption();
std::string_view CodeTable0Caption();
std::string_view CodeTable2Caption();
std::string_view CodeTable3Caption();
std::string_view CodeTable16Caption();
std::string_view CodeTable19Caption();
std::string_view CodeTable40Caption();
// The print button's checkable item: the ticket's symbol as the program's image (GS v 0).
std::string_view RasterSymbolCaption();
// `table` and `name` of the table chosen; none: the tickets select none.
std::string CodeTableChosenMessage(std::optional<int> table, std::string_view name);

// The symbol line's context menu: the printer's density the Portaria 195/2020 width is
// measured at.
std::string_view DensityMenuCaption180();
std::string_view DensityMenuCaption203();
std::string_view DensityMenuCaption300();
std::string SpeedSearchHeading(std::string_view device);
std::string SpeedFound(std::string_view name);
// The window's title while the search tries `settings` ("19200,n,8,1").
std::string SpeedSearchTitle(std::string_view settings);

// The box after a ticket the printer draws no symbol on; `why` in lower case, no full stop.
std::string PrintedWithoutSymbol(std::string_view why);

// The status box: its first line, naming the device as typed.
std::string StatusHeading(std::string_view device);
// The status box's last line when a serial line did not answer: the next step.
std::string_view SerialLineMayBeAtAnotherSpeed();
// What the status box says for "VISUALIZAR:", which has no status.
std::string_view PreviewHasNoStatus();

// The preview window: its title, its buttons and the save dialog.
std::string PreviewTitle();
std::string_view SavePngButton();
std::string_view CloseButton();
std::string_view SaveDialogTitle();
std::string_view SaveDialogFileName();
std::string_view SaveDialogFilter();

}  // namespace qrticket::ui::texts
