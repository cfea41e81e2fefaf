// One RAW spooler job per ticket: OpenPrinter, StartDocPrinter, WritePrinter, EndDocPrinter,
// and GetJob until the job is done.
#include "devices/win/printer_device.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "devices/deadline.h"
#include "devices/device_failures.h"
#include "devices/win/cancel_event.h"
#include "devices/win/printer_failures.h"
#include "devices/win/printer_state.h"
#include "devices/win/wide_text.h"
#include "devices/win/win_errors.h"

namespace qrticket {
namespace {

using Clock = std::chrono::steady_clock;
using failures::Stage;

// The spooler is looked at this often while the job prints.
constexpr DWORD kJobCheckMs = 100;
// A WritePrinter that took nothing is tried again after this pause.
constexpr DWORD kRetryMs = 20;

// What is compared from one look at the job to the next.
struct JobView {
  DWORD status = 0;
  DWORD position = 0;
  DWORD pagesPrinted = 0;
  bool operator==(const JobView&) const = default;
};

class PrinterDevice final : public OutputDevice {
 public:
  PrinterDevice(SystemCalls& sys, HANDLE printer, DWORD job, bool retained, std::string device,
                const ChannelOptions& options)
      : sys_(sys), printer_(printer), job_(job), device_(std::move(device)),
        stall_(options.stallTimeout), cancelFd_(options.cancelFd), retained_(retained) {}

  PrinterDevice(const PrinterDevice&) = delete;
  PrinterDevice& operator=(const PrinterDevice&) = delete;

  ~PrinterDevice() override {
    if (!printer_) return;
    if (!ended_) sys_.AbortPrinter(printer_);  // the job is deleted with what it holds
    sys_.ClosePrinter(printer_);
  }

  void Write(BytesView bytes) override {
    auto deadline = Clock::now() + stall_;
    while (!bytes.empty()) {
      DWORD written = 0;
      if (!sys_.WritePrinter(printer_, bytes.data(), static_cast<DWORD>(bytes.size()), &written))
        throw FromWindowsError(::GetLastError(), device_, Stage::Write);
      if (written > 0) {
        bytes.remove_prefix(std::min<std::size_t>(written, bytes.size()));
        deadline = Clock::now() + stall_;
        continue;
      }
      const DWORD left = MillisecondsLeft(deadline);
      if (left == 0) throw failures::TimedOut(device_, stall_);
      SleepOrCancel(std::min(left, kRetryMs), cancelFd_);
    }
  }

  void Close() override {
    std::optional<PrintFailure> failure;
    if (!sys_.EndDocPrinter(printer_)) {
      const DWORD error = ::GetLastError();
      failure = FromWindowsError(error, device_, Stage::Close);
      // A queue that rejects jobs fails here; Windows' own text ("invalid handle") says little.
      if (failure->code() == FailureCode::DeviceIo || failure->code() == FailureCode::SystemError)
        failure = failures::SpoolerRefusedJob(
            device_, failures::WindowsErrorDetail(error, SystemMessage(error)));
    } else {
      ended_ = true;
      try {
        WaitForTheJob();
      } catch (const PrintFailure& f) {
        failure = f;
        sys_.SetJobW(printer_, job_, JOB_CONTROL_DELETE);
      }
    }
    if (!ended_) sys_.AbortPrinter(printer_);
    ended_ = true;
    sys_.ClosePrinter(printer_);
    printer_ = nullptr;
    if (failure) throw *failure;
  }

 private:
  // The job as the spooler shows it now; nullopt once it has left the queue.
  std::optional<JobView> LookAtJob() {
    std::vector<BYTE> buffer(4096);
    DWORD needed = 0;
    if (!sys_.GetJobW(printer_, job_, 1, buffer.data(), static_cast<DWORD>(buffer.size()), &needed)) {
      if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;
      buffer.resize(needed);
      if (!sys_.GetJobW(printer_, job_, 1, buffer.data(), needed, &needed)) return std::nullopt;
    }
    const auto* info = reinterpret_cast<const JOB_INFO_1W*>(buffer.data());
    return JobView{info->Status, info->Position, info->PagesPrinted};
  }

  // The printer's stopping states now; empty when it may print or the spooler does not say.
  std::vector<failures::SpoolerState> PrinterStates() {
    return LookAtPrinter(sys_, printer_).value_or(std::vector<failures::SpoolerState>{});
  }

  // Waits until the job is printed. Leaving the queue counts only after a sign that the
  // spooler sent it on (it was seen printing) while the printer could print: a job that leaves
  // a paused or off-line printer, or leaves without ever being seen, went somewhere the spooler
  // does not follow (Wine hands it to CUPS at once and forgets it).
  void WaitForTheJob() {
    auto deadline = Clock::now() + stall_;
    bool sentOn = false;
    bool deleted = false;
    std::optional<JobView> last = LookAtJob();
    while (last) {
      if (JobEndFromStatus(last->status) == JobEnd::Printed) {
        // Released, the printed job leaves the queue; deleted, if the spooler will not.
        if (retained_ && !sys_.SetJobW(printer_, job_, kJobControlRelease))
          sys_.SetJobW(printer_, job_, JOB_CONTROL_DELETE);
        return;
      }
      const std::vector<failures::SpoolerState> troubles = JobTroubleStates(last->status);
      if ((last->status & JOB_STATUS_BLOCKED_DEVQ) != 0)
        throw failures::SpoolerJobStopped(device_, troubles);
      deleted = deleted || (last->status & (JOB_STATUS_DELETING | JOB_STATUS_DELETED)) != 0;
      sentOn = sentOn || (last->status & JOB_STATUS_PRINTING) != 0 || last->pagesPrinted > 0;
      const DWORD left = MillisecondsLeft(deadline);
      if (left == 0) {
        std::vector<failures::SpoolerState> states = PrinterStates();
        for (const failures::SpoolerState state : troubles)
          if (std::find(states.begin(), states.end(), state) == states.end()) states.push_back(state);
        throw failures::SpoolerTimedOut(device_, stall_, states);
      }
      SleepOrCancel(std::min(left, kJobCheckMs), cancelFd_);
      const std::optional<JobView> now = LookAtJob();
      if (!now || !(*now == *last)) deadline = Clock::now() + stall_;
      last = now;
    }
    if (deleted) throw failures::SpoolerJobStopped(device_, {failures::SpoolerState::JobDeleted});
    const std::vector<failures::SpoolerState> states = PrinterStates();
    if (!states.empty()) throw failures::SpoolerLeftWhileNotReady(device_, states);
    if (!sentOn) throw failures::SpoolerDeliveryUnconfirmed(device_);
  }

  SystemCalls& sys_;
  HANDLE printer_;
  DWORD job_;
  std::string device_;
  std::chrono::milliseconds stall_;
  int cancelFd_;
  // Whether the spooler keeps the job after it prints (it took JOB_CONTROL_RETAIN).
  bool retained_;
  bool ended_ = false;
};

}  // namespace

JobEnd JobEndFromStatus(DWORD status) {
  // COMPLETE: the spooler has sent the whole job to the printer (Vista and later).
  return (status & (JOB_STATUS_PRINTED | JOB_STATUS_COMPLETE)) != 0 ? JobEnd::Printed
                                                                    : JobEnd::Waiting;
}

std::optional<std::string> DefaultPrinterName(SystemCalls& sys) {
  DWORD length = 0;
  sys.GetDefaultPrinterW(nullptr, &length);
  if (length <= 1) return std::nullopt;
  std::wstring name(length, L'\0');
  if (!sys.GetDefaultPrinterW(name.data(), &length)) return std::nullopt;
  name.resize(name.find(L'\0'));
  if (name.empty()) return std::nullopt;
  return Utf8FromWide(name);
}

std::unique_ptr<OutputDevice> OpenPrinterDevice(const std::string& typedPrinter,
                                                std::string_view typed,
                                                const ChannelOptions& options, SystemCalls& sys) {
  // "printer:" alone: the default printer, named in messages as the operator would type it.
  std::string printer = typedPrinter;
  std::string device(typed);
  if (printer.empty()) {
    printer = DefaultPrinterName(sys).value_or("");
    if (printer.empty()) throw failures::NoDefaultPrinter();
    device = "printer:" + printer;
  }
  const std::optional<std::wstring> name = WideFromUtf8(printer);
  if (!name) throw failures::BadFileName(device);
  HANDLE handle = nullptr;
  if (!sys.OpenPrinterW(name->c_str(), &handle))
    throw FromWindowsError(::GetLastError(), device, Stage::Open);
  // OpenPrinter succeeds for a paused or unplugged printer; its state says more, at once.
  if (const auto states = LookAtPrinter(sys, handle); states && !states->empty()) {
    sys.ClosePrinter(handle);
    throw failures::SpoolerPrinterNotReady(device, *states);
  }
  // RAW: the spooler hands the bytes to the port as they are; no driver renders them.
  std::wstring document = L"qrticket";
  std::wstring dataType = L"RAW";
  DOC_INFO_1W info{document.data(), nullptr, dataType.data()};
  const DWORD job = sys.StartDocPrinterW(handle, &info);
  if (job == 0) {
    const DWORD error = ::GetLastError();
    sys.ClosePrinter(handle);
    throw FromWindowsError(error, device, Stage::Open);
  }
  // Kept after it prints, the job shows that it printed instead of just leaving the queue.
  const bool retained = sys.SetJobW(handle, job, kJobControlRetain) != FALSE;
  return std::make_unique<PrinterDevice>(sys, handle, job, retained, device, options);
}

}  // namespace qrticket
