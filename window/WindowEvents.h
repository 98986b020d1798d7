#pragma once
// The two benchmark messages as Qt events. Qt's event queue delivers what one thread posts to
// one object in posting order, and an event that is never delivered is still deleted by Qt, so
// the event owns its message: nothing posted is leaked.

#include <QEvent>

#include <memory>

#include "BenchmarkMessages.h"
#include "ThreadHandOver.h"

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
