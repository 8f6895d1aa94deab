// Value locals: C++ variables that hold script values and must stay roots for the
// collector while a native function runs. Frames are linked through a per-thread chain:
// frame[0] = count, frame[1] = link to the previous frame, frame[2..] = the values.
//
// From 2017 each value_local_array declares its own scope object, which unlinks the frame
// when the enclosing C++ scope ends (also through an exception); before 2017 the caller
// unlinks it with pop_value_local_array. From 2022 the frame may live on the heap and
// its scope object also frees it.
#pragma once

#if defined(_WIN32)
#include <malloc.h>
#else
#include <alloca.h>
#endif

#include <maxversion.h>

#include "../kernel/MAXScript_TLS.h"
#include "../kernel/collectable.h"
#include "../kernel/value.h"

// The head of this thread's value-local chain.
ScripterExport Value**& mxs_current_locals_frame();
// Bytes of a frame of count values.
ScripterExport size_t mxs_value_local_frame_bytes(int count);

// Pushes the frame at `frame` (count values after the two header slots, all cleared) and
// returns its first value slot.
inline Value** mxs_push_value_local_frame(void* frame, int count) {
  Value** f = static_cast<Value**>(frame);
  f[0] = reinterpret_cast<Value*>(static_cast<INT_PTR>(count < 0 ? 0 : count));
  f[1] = reinterpret_cast<Value*>(mxs_current_locals_frame());
  for (int i = 0; i < count; ++i) f[2 + i] = nullptr;
  mxs_current_locals_frame() = f;
  return f + 2;
}

#define pop_value_local_array(var) \
  (mxs_current_locals_frame() = reinterpret_cast<Value**>((var)[-1]))

#if MAX_VERSION_MAJOR >= 19

// Unlinks the value-local frame that was pushed just before it was constructed (the
// frame at the head of the chain then) when it is destroyed. The value-local macros
// declare one after each frame they push. With validateFrame, a scope that finds no
// frame of its own at the head (none at all, or one that another scope already owns)
// does nothing, so that it cannot unlink a caller's frame.
class ScripterExport MXS_Exit_ValueLocal_Scope {
 public:
#if MAX_VERSION_MAJOR >= 20
  MXS_Exit_ValueLocal_Scope(bool validateFrame = true, MAXScript_TLS* tls = nullptr);
  explicit MXS_Exit_ValueLocal_Scope(MAXScript_TLS* tls);
#else
  MXS_Exit_ValueLocal_Scope(bool validateFrame = true);
#endif
  ~MXS_Exit_ValueLocal_Scope();
  MXS_Exit_ValueLocal_Scope(const MXS_Exit_ValueLocal_Scope&) = delete;
  MXS_Exit_ValueLocal_Scope& operator=(const MXS_Exit_ValueLocal_Scope&) = delete;

 private:
  Value** frame;
  MAXScript_TLS* _tls;
};

#endif

#if MAX_VERSION_MAJOR >= 24

// Owns a value-local frame allocated by value_local_array: unlinks it, then frees it.
class ScripterExport MXS_Exit_ValueLocalArray_Scope {
 public:
  explicit MXS_Exit_ValueLocalArray_Scope(void* alloc_ptr, MAXScript_TLS* tls = nullptr);
  ~MXS_Exit_ValueLocalArray_Scope();
  MXS_Exit_ValueLocalArray_Scope(const MXS_Exit_ValueLocalArray_Scope&) = delete;
  MXS_Exit_ValueLocalArray_Scope& operator=(const MXS_Exit_ValueLocalArray_Scope&) = delete;

 private:
  Value** frame;
  MAXScript_TLS* _tls;
  void* mpAllocPtr;
};

// Heap storage for a frame of count values; freed by its MXS_Exit_ValueLocalArray_Scope.
ScripterExport void* mxs_value_local_frame_alloc(int count);

#define value_local_array(var, count)                            \
  void* _##var##_alloc_ptr = mxs_value_local_frame_alloc(count); \
  var = mxs_push_value_local_frame(_##var##_alloc_ptr, (count)); \
  MXS_Exit_ValueLocalArray_Scope _##var##_Exit_ValueLocal_Scope(_##var##_alloc_ptr);

#elif MAX_VERSION_MAJOR >= 19

#define value_local_array(var, count)                                                        \
  { var = mxs_push_value_local_frame(alloca(mxs_value_local_frame_bytes(count)), (count)); } \
  MXS_Exit_ValueLocal_Scope mxs_Exit_ValueLocal_Scope_##var;

#else

#define value_local_array(var, count) \
  { var = mxs_push_value_local_frame(alloca(mxs_value_local_frame_bytes(count)), (count)); }

#endif

#if MAX_VERSION_MAJOR >= 20
// Forgets where the last error occurred (a catch that swallows a script error calls it).
ScripterExport void clear_error_source_data(MAXScript_TLS* tls = nullptr);
#else
ScripterExport void clear_error_source_data();
#endif

#if MAX_VERSION_MAJOR >= 19

// Saves the evaluator's current frames and restores them when the scope ends.
class ScripterExport ScopedSaveCurrentFrames {
 public:
#if MAX_VERSION_MAJOR >= 20
  ScopedSaveCurrentFrames(MAXScript_TLS* tls = nullptr);
#else
  ScopedSaveCurrentFrames();
#endif
  ~ScopedSaveCurrentFrames();
  ScopedSaveCurrentFrames(const ScopedSaveCurrentFrames&) = delete;
  ScopedSaveCurrentFrames& operator=(const ScopedSaveCurrentFrames&) = delete;

 private:
  std::size_t saved_scopes_;
  std::size_t saved_roots_;
};

// A call into the engine from native code, for the object's lifetime: with
// initThreadLocals it prepares the thread's engine state (init_thread_locals), and it
// pushes an allocation frame, popped when it ends.
class ScripterExport ScopedMaxScriptEvaluationContext {
 public:
#if MAX_VERSION_MAJOR >= 20
  ScopedMaxScriptEvaluationContext(bool initThreadLocals = true, MAXScript_TLS* _tls = nullptr);
#else
  ScopedMaxScriptEvaluationContext(bool initThreadLocals = true);
#endif
  ~ScopedMaxScriptEvaluationContext();
  ScopedMaxScriptEvaluationContext(const ScopedMaxScriptEvaluationContext&) = delete;
  ScopedMaxScriptEvaluationContext& operator=(const ScopedMaxScriptEvaluationContext&) = delete;
#if MAX_VERSION_MAJOR >= 20
  MAXScript_TLS* Get_TLS() {
    return m_tls;
  }
#endif

 private:
  MAXScript_TLS* m_tls;
  int m_saved_depth;
};

#endif
