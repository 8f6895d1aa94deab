// Wrappers of host objects. Filled in once the core headers settle.
#include "maxscript/interp.h"
#include "maxscript/ops.h"

namespace maxhost::mxs {

Value* find_host_class(const std::wstring&) { return nullptr; }
void register_wrapper_classes() {}

}  // namespace maxhost::mxs

Value* MAXClass::make_wrapper_for(ReferenceTarget*) { return &undefined; }
