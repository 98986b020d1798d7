#pragma once
// ThreadSanitizer's view of the one hand-over between threads that it cannot see for itself: Qt
// passes a posted event from the worker to the window under a lock inside Qt's own library, which
// is not instrumented. Release where the worker has finished making the event, acquire where the
// window starts reading it. Both do nothing in a build without ThreadSanitizer.

#if defined(__SANITIZE_THREAD__)
#define VELMORA_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define VELMORA_THREAD_SANITIZER 1
#endif
#endif

#ifdef VELMORA_THREAD_SANITIZER
extern "C" void __tsan_acquire(void* Address);
extern "C" void __tsan_release(void* Address);
#endif

inline void HandOverRelease([[maybe_unused]] const void* Object) {
#ifdef VELMORA_THREAD_SANITIZER
  __tsan_release(const_cast<void*>(Object));
#endif
}

inline void HandOverAcquire([[maybe_unused]] const void* Object) {
#ifdef VELMORA_THREAD_SANITIZER
  __tsan_acquire(const_cast<void*>(Object));
#endif
}
