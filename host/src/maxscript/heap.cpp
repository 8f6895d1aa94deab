#include "maxscript/heap.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <new>

#include "maxscript/interp.h"
#include "maxscript/run_guard.h"

// Gives the collector access to the private bookkeeping fields of Value.
class MaxScriptHeap {
 public:
  static bool heap(Value* v) { return v->heap_; }
  static bool& marked(Value* v) { return v->marked_; }
  static int permanent(Value* v) { return v->permanent_count_; }
};

namespace maxhost::mxs {
namespace {

struct Heap {
  std::recursive_mutex mutex;
  std::vector<Value*> objects;
  std::vector<Value*> worklist;
  std::vector<Value*> static_marked;  // marked values outside the heap, unmarked after marking
  std::vector<ThreadState*> threads;
  std::vector<std::pair<int, std::function<void()>>> markers;
  int next_marker = 1;
  std::atomic<std::size_t> allocs_since_gc{0};
  std::atomic<std::size_t> live_after_gc{0};
  // Bytes owned by the values: measured at each collection, estimated in between from
  // what the values reserved before growing.
  std::atomic<std::size_t> live_bytes{0};
  std::atomic<std::size_t> bytes_since_gc{0};
  std::atomic<bool> collect_soon{false};
  std::atomic<std::size_t> collections{0};
  bool sweeping = false;
  std::atomic<bool> collecting{false};
};

Heap& heap() {
  static Heap* h = new Heap;  // never destroyed: values may outlive static destruction
  return *h;
}

// Blocks returned by Value::operator new on this thread whose Value constructor has not
// run yet, so that the constructor can tell heap values from static and stack ones.
// Arguments may be allocated between a block's allocation and its construction
// (`new A(new B)`), so there can be several.
struct PendingBlock {
  const char* begin;
  std::size_t size;
};
thread_local std::vector<PendingBlock> g_pending;

// What a value counts against the heap limit: the object and the storage it owns.
constexpr std::size_t kValueBytes = 64;
std::size_t owned_bytes(Value* v) {
  std::size_t n = kValueBytes;
  if (v->tag == &String_class)
    n += static_cast<String*>(v)->string.capacity() * sizeof(wchar_t);
  else if (v->tag == &Array_class)
    n += static_cast<Array*>(v)->data.capacity() * sizeof(Value*);
  else if (v->tag == &HashTable_class)
    n += static_cast<HashTable*>(v)->table.size() * 4 * sizeof(void*);
  else if (v->tag == &Struct_class)
    n += static_cast<Struct*>(v)->members.capacity() * sizeof(Value*);
  return n;
}

void mark_frames(Value** frame) {
  for (int guard = 0; frame != nullptr && guard < 1000000; ++guard) {
    auto count = reinterpret_cast<INT_PTR>(frame[0]);
    for (INT_PTR i = 0; i < count; ++i) Value::gc_mark(frame[2 + i]);
    frame = reinterpret_cast<Value**>(frame[1]);
  }
}

}  // namespace

ThreadState::ThreadState() {
  std::lock_guard<std::recursive_mutex> lock(heap().mutex);
  heap().threads.push_back(this);
}
ThreadState::~ThreadState() {
  std::lock_guard<std::recursive_mutex> lock(heap().mutex);
  auto& t = heap().threads;
  t.erase(std::remove(t.begin(), t.end(), this), t.end());
}

namespace {
// Unregisters a thread's state when the thread ends. The state itself is never freed:
// plug-in code may still call into the engine while statics are being destroyed.
struct ThreadExit {
  ThreadState* state = nullptr;
  ~ThreadExit() {
    if (state == nullptr) return;
    std::lock_guard<std::recursive_mutex> lock(heap().mutex);
    auto& t = heap().threads;
    t.erase(std::remove(t.begin(), t.end(), state), t.end());
    state->locals_frame = nullptr;
    state->temp_roots.clear();
    state->scopes.clear();
  }
};
thread_local ThreadState* t_state = nullptr;
thread_local ThreadExit t_exit;
}  // namespace

ThreadState& thread_state() {
  if (t_state == nullptr) {
    t_state = new ThreadState;
    t_exit.state = t_state;
  }
  return *t_state;
}

void register_heap_value(Value* v, bool& heap_flag) {
  const char* p = reinterpret_cast<const char*>(v);
  for (std::size_t i = g_pending.size(); i-- > 0;) {
    if (p < g_pending[i].begin || p >= g_pending[i].begin + g_pending[i].size) continue;
    g_pending.erase(g_pending.begin() + static_cast<std::ptrdiff_t>(i));
    heap_flag = true;
    Heap& h = heap();
    std::lock_guard<std::recursive_mutex> lock(h.mutex);
    h.objects.push_back(v);
    ++h.allocs_since_gc;
    h.bytes_since_gc += kValueBytes;
    return;
  }
}

void unregister_heap_value(Value* v) {
  Heap& h = heap();
  std::lock_guard<std::recursive_mutex> lock(h.mutex);
  if (h.sweeping) return;
  auto it = std::find(h.objects.rbegin(), h.objects.rend(), v);
  if (it != h.objects.rend()) {
    *it = h.objects.back();
    h.objects.pop_back();
  }
}

namespace {

// Marks everything the roots reach. The caller holds the heap's lock and has set
// `collecting`.
void mark_from_roots(Heap& h) {
  h.worklist.clear();
  Value::gc_mark(globals);
  for (Value* v : h.objects)
    if (MaxScriptHeap::permanent(v) > 0) Value::gc_mark(v);
  for (ThreadState* t : h.threads) {
    mark_frames(t->locals_frame);
    for (Value* v : t->temp_roots) Value::gc_mark(v);
    for (Scope* s : t->scopes) Value::gc_mark(s);
    Value::gc_mark(t->current_exception);
  }
  mark_engine_roots();
  for (auto& m : h.markers) m.second();
  while (!h.worklist.empty()) {
    Value* v = h.worklist.back();
    h.worklist.pop_back();
    v->gc_trace();
  }
  for (Value* v : h.static_marked) MaxScriptHeap::marked(v) = false;
  h.static_marked.clear();
}

// Bytes of the values the roots reach, without freeing anything: safe where values held
// only by native locals are still in use (they are left out of the count).
std::size_t measure_reachable(Heap& h) {
  h.collecting = true;
  mark_from_roots(h);
  std::size_t bytes = 0;
  for (Value* v : h.objects) {
    if (!MaxScriptHeap::marked(v)) continue;
    MaxScriptHeap::marked(v) = false;
    bytes += owned_bytes(v);
  }
  h.collecting = false;
  return bytes;
}

}  // namespace

void collect() {
  Heap& h = heap();
  std::lock_guard<std::recursive_mutex> lock(h.mutex);
  if (h.collecting) return;
  h.collecting = true;
  mark_from_roots(h);
  std::vector<Value*> dead;
  std::vector<Value*> live;
  live.reserve(h.objects.size());
  std::size_t bytes = 0;
  for (Value* v : h.objects) {
    if (MaxScriptHeap::marked(v)) {
      MaxScriptHeap::marked(v) = false;
      live.push_back(v);
      bytes += owned_bytes(v);
    } else {
      dead.push_back(v);
    }
  }
  h.objects.swap(live);
  h.sweeping = true;
  for (Value* v : dead) delete v;
  h.sweeping = false;
  h.allocs_since_gc = 0;
  h.live_after_gc = h.objects.size();
  h.live_bytes = bytes;
  h.bytes_since_gc = 0;
  h.collect_soon = false;
  ++h.collections;
  h.collecting = false;
}

namespace {
// Garbage may take the estimate this far past the limit before a collection measures
// what is reachable: near the limit, collections then come every eighth of the limit
// allocated, not after every few values.
std::size_t collection_threshold(std::size_t limit) {
  return limit + limit / 8;
}
}  // namespace

void maybe_collect() {
  check_run();
  Heap& h = heap();
  std::size_t limit = heap_limit_bytes();
  bool over = h.live_bytes + h.bytes_since_gc > collection_threshold(limit);
  if (!over && !h.collect_soon &&
      h.allocs_since_gc <= std::max<std::size_t>(200000, 2 * h.live_after_gc))
    return;
  collect();
  if (h.live_bytes > limit) throw_out_of_memory();
}

void reserve_heap(std::size_t bytes) {
  Heap& h = heap();
  std::size_t limit = heap_limit_bytes();
  if (bytes <= limit && h.live_bytes + h.bytes_since_gc + bytes <= collection_threshold(limit)) {
    h.bytes_since_gc += bytes;
    return;
  }
  std::lock_guard<std::recursive_mutex> lock(h.mutex);
  if (bytes > limit) throw_out_of_memory();
  if (h.collecting) {  // a marker callback allocating: count it and let it go
    h.bytes_since_gc += bytes;
    return;
  }
  std::size_t reachable = measure_reachable(h);
  if (reachable + bytes > limit) throw_out_of_memory();
  // The garbage is freed at the next safe point.
  h.live_bytes = reachable;
  h.bytes_since_gc = bytes;
  h.collect_soon = true;
}

void note_heap_bytes(std::size_t bytes) {
  heap().bytes_since_gc += bytes;
}

std::size_t heap_bytes() {
  Heap& h = heap();
  return h.live_bytes + h.bytes_since_gc;
}

std::size_t live_value_count() {
  std::lock_guard<std::recursive_mutex> lock(heap().mutex);
  return heap().objects.size();
}
std::size_t collection_count() {
  return heap().collections;
}

int add_root_marker(std::function<void()> marker) {
  Heap& h = heap();
  std::lock_guard<std::recursive_mutex> lock(h.mutex);
  int id = h.next_marker++;
  h.markers.emplace_back(id, std::move(marker));
  return id;
}

void remove_root_marker(int id) {
  Heap& h = heap();
  std::lock_guard<std::recursive_mutex> lock(h.mutex);
  auto& m = h.markers;
  m.erase(std::remove_if(m.begin(), m.end(), [id](auto& e) { return e.first == id; }), m.end());
}

void push_mark(Value* v, bool is_heap) {
  Heap& h = heap();
  h.worklist.push_back(v);
  if (!is_heap) h.static_marked.push_back(v);
}

}  // namespace maxhost::mxs

// ---- Value bookkeeping -------------------------------------------------------------

void* Value::operator new(std::size_t size) {
  void* p = ::operator new(size);
  maxhost::mxs::g_pending.push_back({static_cast<const char*>(p), size});
  return p;
}

void Value::operator delete(void* p) {
  auto& pending = maxhost::mxs::g_pending;
  for (std::size_t i = pending.size(); i-- > 0;)
    if (pending[i].begin == p) pending.erase(pending.begin() + static_cast<std::ptrdiff_t>(i));
  ::operator delete(p);
}

void Value::gc_mark(Value* v) {
  if (v == nullptr || v->marked_ || !maxhost::mxs::heap().collecting) return;
  v->marked_ = true;
  maxhost::mxs::push_mark(v, v->heap_);
}

Value* Value::make_heap_permanent() {
  ++permanent_count_;
  return this;
}

void Value::make_collectable() {
  if (permanent_count_ > 0) --permanent_count_;
}

Value**& mxs_current_locals_frame() {
  return maxhost::mxs::thread_state().locals_frame;
}

size_t mxs_value_local_frame_bytes(int count) {
  return (static_cast<size_t>(count < 0 ? 0 : count) + 2) * sizeof(Value*);
}

namespace {

// Frames that a scope object has taken charge of, innermost last. A second scope that
// finds the same frame at the head of the chain has no frame of its own.
thread_local std::vector<Value**> t_owned_frames;
std::atomic<std::size_t> g_frameless_scopes{0};

// Scope objects, and these helpers, exist from 2017.
#if MAX_VERSION_MAJOR >= 19
maxhost::mxs::ThreadState& state_of(MAXScript_TLS* tls) {
  return tls != nullptr ? *reinterpret_cast<maxhost::mxs::ThreadState*>(tls)
                        : maxhost::mxs::thread_state();
}

// The frame at the head of the chain if the caller may take charge of it, else nullptr.
Value** claim_head_frame(MAXScript_TLS* tls, bool validate) {
  Value** head = state_of(tls).locals_frame;
  bool owned =
      std::find(t_owned_frames.begin(), t_owned_frames.end(), head) != t_owned_frames.end();
  if (head == nullptr || (validate && owned)) {
    ++g_frameless_scopes;
    return nullptr;
  }
  t_owned_frames.push_back(head);
  return head;
}

// Unlinks `frame` and whatever was pushed after it without a scope of its own.
void release_frame(MAXScript_TLS* tls, Value** frame) {
  if (frame == nullptr) return;
  auto it = std::find(t_owned_frames.rbegin(), t_owned_frames.rend(), frame);
  if (it != t_owned_frames.rend()) t_owned_frames.erase(std::next(it).base());
  state_of(tls).locals_frame = reinterpret_cast<Value**>(frame[1]);
}
#endif

}  // namespace

namespace maxhost::mxs {
std::size_t frameless_value_local_scopes() {
  return g_frameless_scopes.load();
}
}  // namespace maxhost::mxs

#if MAX_VERSION_MAJOR >= 20
MXS_Exit_ValueLocal_Scope::MXS_Exit_ValueLocal_Scope(bool validateFrame, MAXScript_TLS* tls)
    : frame(claim_head_frame(tls, validateFrame)), _tls(tls) {}
MXS_Exit_ValueLocal_Scope::MXS_Exit_ValueLocal_Scope(MAXScript_TLS* tls)
    : frame(claim_head_frame(tls, true)), _tls(tls) {}
#elif MAX_VERSION_MAJOR >= 19
MXS_Exit_ValueLocal_Scope::MXS_Exit_ValueLocal_Scope(bool validateFrame)
    : frame(claim_head_frame(nullptr, validateFrame)), _tls(nullptr) {}
#endif
#if MAX_VERSION_MAJOR >= 19
MXS_Exit_ValueLocal_Scope::~MXS_Exit_ValueLocal_Scope() {
  release_frame(_tls, frame);
}
#endif

#if MAX_VERSION_MAJOR >= 24
void* mxs_value_local_frame_alloc(int count) {
  return ::operator new(mxs_value_local_frame_bytes(count));
}
MXS_Exit_ValueLocalArray_Scope::MXS_Exit_ValueLocalArray_Scope(void* alloc_ptr, MAXScript_TLS* tls)
    : frame(claim_head_frame(tls, true)), _tls(tls), mpAllocPtr(alloc_ptr) {
  // The macro pushed exactly this frame; anything else is not this scope's to unlink.
  if (frame != static_cast<Value**>(alloc_ptr)) {
    if (frame != nullptr) t_owned_frames.pop_back();
    frame = nullptr;
  }
}
MXS_Exit_ValueLocalArray_Scope::~MXS_Exit_ValueLocalArray_Scope() {
  release_frame(_tls, frame);
  ::operator delete(mpAllocPtr);
}
#endif
