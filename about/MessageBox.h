// Every message box of the program goes through ShowMessageBox.
//
// The box is modal, titled with the application title (ApplicationTitle.h),
// carries the icon and buttons that the flags ask for, is raised to the
// front and stays above other windows. The flags and the returned button
// codes use the classic numeric message-box values listed below, so callers
// can pass plain numbers such as 16 (stop icon) or 64 (information icon).
//
// Tests (and anything else that must not block on a real box) replace the
// box with SetMessageBoxHandler, or more conveniently with the RAII class
// MessageBoxRecorder, which records every request and answers from a queue.
//
// Thread safety: a box is shown on the main thread; a call from another
// thread is handed to the main thread (RunOnMainThread) and waits there.
// The handler itself is guarded, but install and remove it while no box is
// being shown.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace velt {

// Flags: the low four bits choose the buttons, the next four the icon.
enum MessageBoxFlags : unsigned {
  MbOk = 0x0,
  MbOkCancel = 0x1,
  MbAbortRetryIgnore = 0x2,
  MbYesNoCancel = 0x3,
  MbYesNo = 0x4,
  MbRetryCancel = 0x5,
  MbIconStop = 0x10,
  MbIconQuestion = 0x20,
  MbIconWarning = 0x30,
  MbIconInformation = 0x40,
  MbDefaultButton2 = 0x100,
  MbDefaultButton3 = 0x200,
  MbTopmost = 0x40000,
};

// Codes of the button that closed the box.
enum MessageBoxResult : int {
  IdOk = 1,
  IdCancel = 2,
  IdAbort = 3,
  IdRetry = 4,
  IdIgnore = 5,
  IdYes = 6,
  IdNo = 7,
};

// Shows the box and returns the code of the button that closed it. The
// handler sees the flags with MbTopmost added.
int ShowMessageBox(const std::string& text, unsigned flags);

using MessageBoxHandler =
    std::function<int(const std::string& caption, const std::string& text, unsigned flags)>;

// Replaces the box for every later call; an empty handler brings back the
// real one. Returns the handler that was installed before.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// While it lives, message boxes are not shown but recorded; each answers
// with the next queued code, or IdOk when the queue is empty. Restores the
// previous handler when destroyed.
class MessageBoxRecorder {
 public:
  struct Request {
    std::string caption;
    std::string text;
    unsigned flags = 0;
  };

  MessageBoxRecorder();
  ~MessageBoxRecorder();
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;
  MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

  void SetNextAnswer(int code) { answers_.push_back(code); }
  const std::vector<Request>& Requests() const { return requests_; }

 private:
  std::vector<Request> requests_;
  std::deque<int> answers_;
  MessageBoxHandler previous_;
};

}  // namespace velt
