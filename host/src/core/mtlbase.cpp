// MtlBase, Texmap and Mtl defaults, and the default viewport bitmap of a map.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <iload.h>
#include <imtl.h>
#include <isave.h>

#include "core/chunk_ids.h"
#include "core/year_forms.h"

MSTR ISubMap::GetSubTexmapSlotName(int i MAXHOST_LOCALIZED) {
  (void)i;
  return MSTR();
}

#if MAX_VERSION_MAJOR >= 24
MSTR ISubMap::GetSubTexmapTVName(int i, bool localized) {
  return maxhost::SubTexmapSlotNameOf(*this, i, localized);
}
#else
MSTR ISubMap::GetSubTexmapTVName(int i) {
  return maxhost::SubTexmapSlotNameOf(*this, i);
}
#endif

MtlBase::MtlBase() = default;

MtlBase::~MtlBase() = default;

MtlBase& MtlBase::operator=(const MtlBase& m) {
  if (this != &m) {
    gbufID = m.gbufID;
    mName = m.mName;
    mMtlFlags = m.mMtlFlags;
    mDefaultSlotType = m.mDefaultSlotType;
  }
  return *this;
}

MSTR MtlBase::GetFullName() {
  const MSTR cls = maxhost::ClassNameOf(*this);
  MSTR s = mName;
  s += L" ( ";
  s += cls;
  s += L" )";
  return s;
}

BaseInterface* MtlBase::GetInterface(Interface_ID id) {
  return ReferenceTarget::GetInterface(id);
}

void* MtlBase::GetInterface(ULONG id) {
  return ReferenceTarget::GetInterface(id);
}

void MtlBase::BaseClone(ReferenceTarget* from, ReferenceTarget* to, RemapDir& remap) {
  ReferenceTarget::BaseClone(from, to, remap);
}

IOResult MtlBase::Save(ISave* isave) {
  isave->BeginChunk(maxhost::chunks::kMtlBaseName);
  const IOResult r = isave->WriteWString(mName.data());
  isave->EndChunk();
  return r;
}

IOResult MtlBase::Load(ILoad* iload) {
  IOResult res;
  while ((res = iload->OpenChunk()) == IO_OK) {
    if (iload->CurChunkID() == maxhost::chunks::kMtlBaseName) {
      MSTR name;
      if (iload->ReadWStringChunk(name) != IO_OK) return IO_ERROR;
      mName = name;
    }
    if (iload->CloseChunk() != IO_OK) return IO_ERROR;
  }
  return res == IO_END ? IO_OK : IO_ERROR;
}

Texmap::Texmap() = default;

Mtl::Mtl() = default;

namespace {

// The viewport bitmap's sample: one pixel of the map's UV square, in the material editor.
class DibShadeContext : public ShadeContext {
 public:
  DibShadeContext(TimeValue t, float u, float v, float du, float dv)
      : mTime(t), mUVW(u, v, 0.0f), mDUVW(du, dv, 0.0f) {
    mode = SCMODE_NORMAL;
    filterMaps = true;
  }
  BOOL InMtlEditor() override { return TRUE; }
  TimeValue CurTime() override { return mTime; }
  Point3 UVW(int channel) override {
    (void)channel;
    return mUVW;
  }
  Point3 DUVW(int channel) override {
    (void)channel;
    return mDUVW;
  }
  Point3 P() override { return mUVW; }

 private:
  TimeValue mTime;
  Point3 mUVW;
  Point3 mDUVW;
};

BYTE ToByte(float c) {
  if (!(c > 0.0f)) return 0;
  if (c >= 1.0f) return 255;
  return static_cast<BYTE>(c * 255.0f + 0.5f);
}

}  // namespace

BITMAPINFO* Texmap::GetVPDisplayDIB(TimeValue t, TexHandleMaker& thmaker, Interval& valid,
                                    BOOL mono, int forceW, int forceH) {
  const int size = std::max(1, std::min(thmaker.Size(), 1024));
  const int w = forceW > 0 ? std::min(forceW, 4096) : size;
  const int h = forceH > 0 ? std::min(forceH, 4096) : size;
  Update(t, valid);
  valid &= Validity(t);
  const size_t row = (static_cast<size_t>(w) * 3 + 3) & ~static_cast<size_t>(3);
  const size_t bytes = sizeof(BITMAPINFOHEADER) + row * static_cast<size_t>(h);
  auto* bmi = static_cast<BITMAPINFO*>(std::calloc(1, bytes));
  if (!bmi) return nullptr;
  BITMAPINFOHEADER& hdr = bmi->bmiHeader;
  hdr.biSize = sizeof(BITMAPINFOHEADER);
  hdr.biWidth = w;
  hdr.biHeight = h;  // bottom-up: row 0 is v near 0
  hdr.biPlanes = 1;
  hdr.biBitCount = 24;
  hdr.biCompression = 0;
  hdr.biSizeImage = static_cast<DWORD>(row * static_cast<size_t>(h));
  BYTE* pixels = reinterpret_cast<BYTE*>(bmi) + sizeof(BITMAPINFOHEADER);
  const float du = 1.0f / static_cast<float>(w);
  const float dv = 1.0f / static_cast<float>(h);
  for (int y = 0; y < h; ++y) {
    BYTE* out = pixels + row * static_cast<size_t>(y);
    for (int x = 0; x < w; ++x) {
      DibShadeContext sc(t, (static_cast<float>(x) + 0.5f) * du,
                         (static_cast<float>(y) + 0.5f) * dv, du, dv);
      AColor c;
      if (mono) {
        const float m = EvalMono(sc);
        c = AColor(m, m, m, 1.0f);
      } else {
        c = EvalColor(sc);
      }
      out[3 * x + 0] = ToByte(c.b);
      out[3 * x + 1] = ToByte(c.g);
      out[3 * x + 2] = ToByte(c.r);
    }
  }
  return bmi;
}
