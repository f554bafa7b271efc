#include "about/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <mutex>
#include <utility>

#include "platform/ApplicationTitle.h"
#include "platform/MainThread.h"

namespace velt {
namespace {

std::mutex handlerMutex;
MessageBoxHandler& Handler() {
  static MessageBoxHandler handler;
  return handler;
}

struct ButtonChoice {
  QMessageBox::StandardButton button;
  int code;
};

std::vector<ButtonChoice> ButtonsOf(unsigned flags) {
  switch (flags & 0xF) {
    case MbOkCancel:
      return {{QMessageBox::Ok, IdOk}, {QMessageBox::Cancel, IdCancel}};
    case MbAbortRetryIgnore:
      return {{QMessageBox::Abort, IdAbort}, {QMessageBox::Retry, IdRetry}, {QMessageBox::Ignore, IdIgnore}};
    case MbYesNoCancel:
      return {{QMessageBox::Yes, IdYes}, {QMessageBox::No, IdNo}, {QMessageBox::Cancel, IdCancel}};
    case MbYesNo:
      return {{QMessageBox::Yes, IdYes}, {QMessageBox::No, IdNo}};
    case MbRetryCancel:
      return {{QMessageBox::Retry, IdRetry}, {QMessageBox::Cancel, IdCancel}};
    default:
      return {{QMessageBox::Ok, IdOk}};
  }
}

QMessageBox::Icon IconOf(unsigned flags) {
  switch (flags & 0xF0) {
    case MbIconStop: return QMessageBox::Critical;
    case MbIconQuestion: return QMessageBox::Question;
    case MbIconWarning: return QMessageBox::Warning;
    case MbIconInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

int ShowRealBox(const std::string& caption, const std::string& text, unsigned flags) {
  // Owned by the window the user works in, so it opens above it.
  QMessageBox box(IconOf(flags), QString::fromStdString(caption), QString::fromStdString(text),
                  QMessageBox::NoButton, QApplication::activeWindow());
  box.setWindowFlag(Qt::WindowStaysOnTopHint, (flags & MbTopmost) != 0);
  const std::vector<ButtonChoice> choices = ButtonsOf(flags);
  std::vector<QPushButton*> buttons;
  for (const ButtonChoice& choice : choices) buttons.push_back(box.addButton(choice.button));
  const size_t defaultIndex = (flags & MbDefaultButton3) ? 2 : (flags & MbDefaultButton2) ? 1 : 0;
  if (defaultIndex < buttons.size()) box.setDefaultButton(buttons[defaultIndex]);
  // Escape and the close button mean Cancel where there is one, and OK on
  // a box that only informs; other boxes insist on a choice.
  for (size_t i = 0; i < choices.size(); ++i) {
    if (choices[i].code == IdCancel || choices.size() == 1) box.setEscapeButton(buttons[i]);
  }
  box.show();
  box.raise();
  box.activateWindow();
  box.exec();
  for (size_t i = 0; i < buttons.size(); ++i) {
    if (box.clickedButton() == buttons[i]) return choices[i].code;
  }
  return choices.front().code;
}

}  // namespace

int ShowMessageBox(const std::string& text, unsigned flags) {
  const std::string caption = ApplicationTitle();
  flags |= MbTopmost;
  int result = 0;
  RunOnMainThread([&] {
    MessageBoxHandler handler;
    {
      std::lock_guard lock(handlerMutex);
      handler = Handler();
    }
    result = handler ? handler(caption, text, flags) : ShowRealBox(caption, text, flags);
  });
  return result;
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
  std::lock_guard lock(handlerMutex);
  return std::exchange(Handler(), std::move(handler));
}

MessageBoxRecorder::MessageBoxRecorder() {
  previous_ = SetMessageBoxHandler([this](const std::string& caption, const std::string& text, unsigned flags) {
    requests_.push_back({caption, text, flags});
    if (answers_.empty()) return static_cast<int>(IdOk);
    const int code = answers_.front();
    answers_.pop_front();
    return code;
  });
}

MessageBoxRecorder::~MessageBoxRecorder() { SetMessageBoxHandler(std::move(previous_)); }

}  // namespace velt
