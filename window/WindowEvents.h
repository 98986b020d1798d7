#pragma once
// Every event the worker of a run posts to the window, with its number. Qt's event queue delivers
// what one thread posts to one object in posting order, and an event that is never delivered is
// still deleted by Qt, so each event owns its message: nothing posted is leaked.

#include <QEvent>

#include <functional>
#include <memory>

#include "BenchmarkMessages.h"
#include "BenchmarkReporter.h"
#include "ThreadHandOver.h"

// The numbers the original gives its two messages, and the one Velmora adds.
constexpr int WM_LOG_MESSAGE = 1480;       // carries a TLogMessage
constexpr int WM_BENCHMARK_RESULT = 1481;  // carries a TBenchmarkResultMessage
constexpr int WM_RECORD_STEP = 1482;       // carries a TRecordStep

// One record-keeping call of a test, to be made again on the window's thread on the window's record
// of the run.
struct TRecordStep {
  std::function<void(TBenchmarkReporter& Reporter)> Replay;
};

template <typename TMessage, int TypeNumber>
class TMessageEvent : public QEvent {
 public:
  static constexpr QEvent::Type EventType = static_cast<QEvent::Type>(TypeNumber);
  static_assert(TypeNumber >= QEvent::User && TypeNumber <= QEvent::MaxUser, "a user event type");

  // Made on the posting thread, which hands it over whole; whatever receives it calls
  // HandOverAcquire(Event) before it reads even the event's type.
  explicit TMessageEvent(std::unique_ptr<TMessage> Message) : QEvent(EventType), FMessage(std::move(Message)) {
    HandOverRelease(this);
  }
  const TMessage& Message() const { return *FMessage; }

 private:
  std::unique_ptr<TMessage> FMessage;
};

using TLogMessageEvent = TMessageEvent<TLogMessage, WM_LOG_MESSAGE>;
using TBenchmarkResultEvent = TMessageEvent<TBenchmarkResultMessage, WM_BENCHMARK_RESULT>;
using TRecordStepEvent = TMessageEvent<TRecordStep, WM_RECORD_STEP>;
