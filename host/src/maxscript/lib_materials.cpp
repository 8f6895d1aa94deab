// Material libraries: the `currentMaterialLibrary` global (a MaterialLibrary value holding
// materials and maps), saveMaterialLibrary, loadMaterialLibrary and getMatLibFileName. A
// library file is a scene file whose roots are the library's entries, in order, so other
// tools load it with LoadScene and find the entries as its roots.
#include <cstdio>
#include <mutex>
#include <vector>

#include <imtl.h>
#include <ref.h>

#include "base/files.h"
#include "base/text.h"
#include "maxscript/collection.h"
#include "maxscript/engine.h"
#include "maxscript/heap.h"
#include "maxscript/lib_common.h"
#include "maxscript/wrappers_params.h"
#include "scene/scene_file.h"

namespace maxhost::mxs {
namespace {

ValueMetaClass MaterialLibrary_class(L"MaterialLibrary");

// The entries of a library. They are real references: the library keeps its materials and
// maps alive, and an entry whose object is deleted drops out.
class LibraryEntries : public ReferenceMaker {
 public:
  ~LibraryEntries() override { DeleteAllRefs(); }
  int NumRefs() override { return static_cast<int>(entries_.size()); }
  RefTargetHandle GetReference(int i) override {
    return i >= 0 && i < NumRefs() ? entries_[static_cast<std::size_t>(i)] : nullptr;
  }
  SClass_ID SuperClassID() override { return 0; }

  // The live entries, in order.
  std::vector<ReferenceTarget*> items() {
    std::vector<ReferenceTarget*> out;
    for (ReferenceTarget* t : entries_)
      if (t != nullptr) out.push_back(t);
    return out;
  }
  void add(ReferenceTarget* t) {
    entries_.push_back(nullptr);
    ReplaceReference(NumRefs() - 1, t);
  }
  void put(int index, ReferenceTarget* t) { ReplaceReference(slot(index), t); }
  void remove(int index) {
    const int i = slot(index);
    DeleteReference(i);
    entries_.erase(entries_.begin() + i);
  }
  // Takes the new entries before releasing the old ones, so an object in both stays.
  void replace(const std::vector<ReferenceTarget*>& fresh) {
    const int first_new = NumRefs();
    for (ReferenceTarget* t : fresh) add(t);
    for (int i = first_new - 1; i >= 0; --i) DeleteReference(i);
    entries_.erase(entries_.begin(), entries_.begin() + first_new);
  }

 protected:
  void SetReference(int i, RefTargetHandle r) override {
    if (i >= 0 && i < NumRefs()) entries_[static_cast<std::size_t>(i)] = r;
  }
  RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage, BOOL) override {
    return REF_SUCCEED;
  }

 private:
  // The reference number of the index-th live entry (0-based).
  int slot(int index) {
    for (int i = 0, live = 0; i < NumRefs(); ++i)
      if (entries_[static_cast<std::size_t>(i)] != nullptr && live++ == index) return i;
    return -1;
  }

  std::vector<ReferenceTarget*> entries_;
};

// The host has one current library. Scripts may run on several threads; the library's
// entries change under this lock (recursive: releasing an entry can notify back).
struct CurrentLibrary {
  std::recursive_mutex mutex;
  LibraryEntries entries;
  std::wstring file_name;
};
CurrentLibrary& current() {
  static auto* library = new CurrentLibrary;
  return *library;
}

ReferenceTarget* library_item(Value* v) {
  auto* w = dynamic_cast<MAXWrapper*>(v);
  ReferenceTarget* r = w ? w->get_ref() : nullptr;
  if (w != nullptr && r == nullptr) deleted_error();
  if (dynamic_cast<MtlBase*>(r) == nullptr) throw ConversionError(v, L"Material");
  return r;
}

std::wstring name_of(ReferenceTarget* t) {
  auto* m = dynamic_cast<MtlBase*>(t);
  return m ? std::wstring(m->GetName().data()) : std::wstring();
}

// `currentMaterialLibrary`: indexable by position or by an entry's name, with .count,
// append and deleteItem, iterable as an array.
class MaterialLibraryValue : public Value, public CollectionOps {
 public:
  MaterialLibraryValue() { tag = &MaterialLibrary_class; }

  Array* snapshot() {
    std::vector<ReferenceTarget*> items;
    {
      std::lock_guard<std::recursive_mutex> lock(current().mutex);
      items = current().entries.items();
    }
    auto* a = new Array(0);
    TempRoots roots;
    roots.add(a);
    for (ReferenceTarget* t : items) a->append(wrap(t));
    return a;
  }

  void sprin1(CharStream* s) override {
    Array* items = snapshot();
    TempRoots roots;
    roots.add(items);
    s->puts(L"#materialLibrary(");
    for (int i = 0; i < items->count(); ++i) {
      if (i > 0) s->puts(L", ");
      items->get(i)->sprin1(s);
    }
    s->puts(L")");
  }
  Value* iterate_items() override { return snapshot(); }
  Value* coerce(ValueMetaClass* target) override {
    if (target == &Array_class) return snapshot();
    return Value::coerce(target);
  }
  Value* get_property(Value** arg_list, int c) override {
    if (arg_list[0] == Name::intern(L"count")) return Integer::intern(snapshot()->count());
    return Value::get_property(arg_list, c);
  }

  Value* get_vf(Value** arg_list, int) override {
    Array* items = snapshot();
    const int i = find(items, arg_list[0]);
    return i >= 0 && i < items->count() ? items->get(i) : &undefined;
  }
  Value* put_vf(Value** arg_list, int) override {
    ReferenceTarget* t = library_item(arg_list[1]);
    Array* items = snapshot();
    const int i = find(items, arg_list[0]);
    std::lock_guard<std::recursive_mutex> lock(current().mutex);
    if (i >= 0 && i < items->count())
      current().entries.put(i, t);
    else if (is_number(arg_list[0]))
      throw RuntimeError(L"Material library index out of range: ", arg_list[0]);
    else
      current().entries.add(t);
    return arg_list[1];
  }

  void append_item(Value* v) override {
    ReferenceTarget* t = library_item(v);
    std::lock_guard<std::recursive_mutex> lock(current().mutex);
    current().entries.add(t);
  }
  void delete_item(int index) override {
    std::lock_guard<std::recursive_mutex> lock(current().mutex);
    if (index < 1 || index > static_cast<int>(current().entries.items().size()))
      throw RuntimeError(L"Material library index out of range: ", Integer::intern(index));
    current().entries.remove(index - 1);
  }

 private:
  // The 0-based position an index names: a number from 1, or an entry's name.
  static int find(Array* items, Value* index) {
    if (is_number(index)) {
      if (index->to_double() < 1)
        throw RuntimeError(L"array index must be +ve number, got: ", index);
      return index->to_double() > items->count() ? items->count() : index->to_int() - 1;
    }
    if (!is_string(index) && !is_name(index)) throw TypeError(L"Material library index: ", index);
    for (int i = 0; i < items->count(); ++i)
      if (EqualsNoCase(name_of(items->get(i)->to_reftarg()), index->to_string())) return i;
    return items->count();
  }
};

void report(const std::string& why) {
  std::fprintf(stderr, "%s\n", why.c_str());
}

// Library files larger than this are refused rather than read into memory.
constexpr std::size_t kMaxLibraryBytes = 256u << 20;

// The file is written whole or not at all: a short write (a full disk) is a failure.
Value* fn_save_material_library(Value** a, int n) {
  need_args(L"saveMaterialLibrary", a, n, 1);
  const std::string path = Utf8FromWide(need_string(a[0]));
  std::lock_guard<std::recursive_mutex> lock(current().mutex);
  std::vector<unsigned char> bytes;
  SaveResult saved = SaveSceneToBytes(current().entries.items(), bytes);
  if (!saved.ok) {
    report("saveMaterialLibrary: " + saved.error);
    return &false_value;
  }
  Status written = WriteWholeFile("saveMaterialLibrary", path, bytes.data(), bytes.size());
  if (!written) {
    report(written.error);
    return &false_value;
  }
  current().file_name = need_string(a[0]);
  return &true_value;
}

// The loaded entries become the library; the old ones are released (and deleted when
// nothing else holds them). Roots that are neither materials nor maps are not kept.
Value* fn_load_material_library(Value** a, int n) {
  need_args(L"loadMaterialLibrary", a, n, 1);
  const std::string path = Utf8FromWide(need_string(a[0]));
  std::vector<unsigned char> bytes;
  Status read = ReadRegularFile("loadMaterialLibrary", path, kMaxLibraryBytes, bytes);
  if (!read) {
    report(read.error);
    return &false_value;
  }
  LoadResult loaded = LoadSceneFromBytes(bytes.data(), bytes.size());
  if (!loaded.ok) {
    report("loadMaterialLibrary: " + loaded.error);
    return &false_value;
  }
  std::vector<ReferenceTarget*> fresh, strays;
  for (ReferenceTarget* t : loaded.roots) (dynamic_cast<MtlBase*>(t) ? fresh : strays).push_back(t);
  {
    std::lock_guard<std::recursive_mutex> lock(current().mutex);
    current().entries.replace(fresh);
    current().file_name = need_string(a[0]);
  }
  for (ReferenceTarget* t : strays) t->MaybeAutoDelete();
  return &true_value;
}

Value* fn_mat_lib_file_name(Value** a, int n) {
  need_args(L"getMatLibFileName", a, n, 0);
  std::lock_guard<std::recursive_mutex> lock(current().mutex);
  return new String(current().file_name);
}

}  // namespace

static const BuiltinEntry kMaterialsLibrary[] = {
    {L"saveMaterialLibrary", fn_save_material_library},
    {L"loadMaterialLibrary", fn_load_material_library},
    {L"getMatLibFileName", fn_mat_lib_file_name},
};

std::span<const BuiltinEntry> materials_library() {
  return kMaterialsLibrary;
}

void register_material_globals() {
  auto* library = new MaterialLibraryValue();
  library->make_heap_permanent();
  define_global(L"currentMaterialLibrary", library, true);
  define_global(L"materialLibrary", &MaterialLibrary_class, true);
}

}  // namespace maxhost::mxs
