// The receipt bench: qrticket-view --listen with --web. Holds the receipts of the jobs drawn
// since the start and serves the page that shows them, in the --out folder or, without one,
// in a private folder that goes when the bench does.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "listen_server.h"
#include "private_folder.h"
#include "receipt_store.h"
#include "web_server.h"

namespace qrticket::viewer::web {

class WebBench {
 public:
  // `outDir` empty: a private folder. Throws ListenError when the page cannot listen.
  WebBench(const WebOptions& options, const std::filesystem::path& outDir);
  WebBench(const WebBench&) = delete;
  WebBench& operator=(const WebBench&) = delete;

  // Where the listener writes the jobs' files.
  const std::filesystem::path& folder() const { return folder_; }
  const std::string& url() const { return server_->url(); }

  // A job the listener finished: a receipt when it drew a picture.
  void Take(const ListenJob& job);

 private:
  std::optional<PrivateFolder> privateFolder_;
  std::filesystem::path folder_;
  ReceiptStore store_;
  std::unique_ptr<WebServer> server_;
};

}  // namespace qrticket::viewer::web
