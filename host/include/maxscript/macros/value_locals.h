// Value locals: C++ variables that hold script values and must stay roots for the
// collector while a native function runs. Frames are linked through a per-thread chain:
// frame[0] = count, frame[1] = link to the previous frame, frame[2..] = the values.
#pragma once

#if defined(_WIN32)
#include <malloc.h>
#else
#include <alloca.h>
#endif

#include "../kernel/value.h"

// The head of this thread's value-local chain.
ScripterExport Value**& mxs_current_locals_frame();
// Bytes of a frame of count values. Out of line, so that the frame is always a dynamic
// stack allocation below the function's own locals (a constant size would let the
// compiler place it among them), which is what MXS_Exit_ValueLocal_Scope relies on.
ScripterExport size_t mxs_value_local_frame_bytes(int count);

#define value_local_array(var, count)                                       \
  {                                                                         \
    var = &static_cast<Value**>(alloca(mxs_value_local_frame_bytes(count)))[2]; \
    for (int _vl_i = 0; _vl_i < (count); ++_vl_i) var[_vl_i] = nullptr;     \
    var[-2] = reinterpret_cast<Value*>(static_cast<INT_PTR>(count));        \
    var[-1] = reinterpret_cast<Value*>(mxs_current_locals_frame());         \
    mxs_current_locals_frame() = &var[-2];                                  \
  }
#define pop_value_local_array(var) \
  (mxs_current_locals_frame() = reinterpret_cast<Value**>((var)[-1]))

// Restores the value-local chain when the scope ends, also when an exception leaves it.
// Declare it before the value_local_array calls it covers. With validateFrame it also
// drops frames that lie in the stack frame being left, so that a scope declared after
// its arrays still unlinks them; do not nest two scopes in one function.
class ScripterExport MXS_Exit_ValueLocal_Scope {
 public:
  explicit MXS_Exit_ValueLocal_Scope(bool validateFrame = true);
  ~MXS_Exit_ValueLocal_Scope();
  MXS_Exit_ValueLocal_Scope(const MXS_Exit_ValueLocal_Scope&) = delete;
  MXS_Exit_ValueLocal_Scope& operator=(const MXS_Exit_ValueLocal_Scope&) = delete;

 private:
  Value** saved_;
  bool validate_;
};
