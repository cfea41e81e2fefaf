// The receipt bench: a job becomes a receipt once the listener has written its picture.
#include "web_bench.h"

#include <chrono>

namespace qrticket::viewer::web {

WebBench::WebBench(const WebOptions& options, const std::filesystem::path& outDir)
    : store_(ReceiptStore::kDefaultCapacity, outDir.empty()) {
  if (outDir.empty()) privateFolder_.emplace();
  folder_ = outDir.empty() ? privateFolder_->path() : outDir;
  server_ = std::make_unique<WebServer>(options, store_);
}

void WebBench::Take(const ListenJob& job) {
  if (job.number == 0 || job.png.empty()) return;  // status requests, empty connections
  Receipt receipt;
  receipt.id = job.number;
  receipt.time = std::chrono::system_clock::now();
  receipt.sender = job.peer;
  receipt.bytes = job.bytes;
  receipt.report = job.report;
  receipt.picture = job.png;
  receipt.raw = job.raw;
  store_.Add(std::move(receipt));
}

}  // namespace qrticket::viewer::web
