// The receipts as JSON, for /api/receipts and the page's event stream. Everything in them
// that came from a job is escaped here: the text is valid UTF-8 JSON whatever bytes it held,
// and holds no '<', '>' or '&', so even a page that put it into HTML unescaped would show it.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "receipt_store.h"

namespace qrticket::viewer::web {

// `text` as a JSON string, quotes included. Bytes that are not UTF-8 become U+FFFD.
std::string JsonString(std::string_view text);

// "2026-12-10T07:25:03.250Z": UTC, which the page shows in the reader's own time.
std::string UtcTimeText(std::chrono::system_clock::time_point time);

// {"id":1,"time":"...","sender":"...","bytes":123,"report":"line\nline","picture":"/recibos/1.png","raw":"/recibos/1.bin"}
// ("raw" is null when the bytes were not kept).
std::string ReceiptJson(const Receipt& receipt);
// [newest, ..., oldest]
std::string ReceiptListJson(const std::vector<ReceiptPointer>& newestFirst);

// Where the page finds a receipt's files.
std::string PicturePath(int id);
std::string RawBytesPath(int id);

}  // namespace qrticket::viewer::web
