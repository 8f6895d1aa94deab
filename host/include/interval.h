// Time intervals: closed [start, end]. The empty interval NEVER has both ends at the
// smallest time; FOREVER spans all times.
#pragma once

#include "maxheap.h"
#include "maxtypes.h"

class Interval : public MaxHeapOperators {
 public:
  Interval() = default;
  Interval(TimeValue s, TimeValue e) : mStart(s), mEnd(e) {}

  void Set(TimeValue s, TimeValue e) {
    mStart = s;
    mEnd = e;
  }
  void SetStart(TimeValue s) { mStart = s; }
  void SetEnd(TimeValue e) { mEnd = e; }
  void SetInfinite() { Set(TIME_NegInfinity, TIME_PosInfinity); }
  void SetEmpty() { Set(TIME_NegInfinity, TIME_NegInfinity); }
  void SetInstant(TimeValue t) { Set(t, t); }
  TimeValue Start() const { return mStart; }
  TimeValue End() const { return mEnd; }
  TimeValue Duration() const { return mEnd - mStart + 1; }

  bool Empty() const { return mStart == TIME_NegInfinity && mEnd == TIME_NegInfinity; }
  BOOL InInterval(TimeValue t) const { return !Empty() && t >= mStart && t <= mEnd; }
  BOOL InInterval(const Interval& i) const { return InInterval(i.mStart) && InInterval(i.mEnd); }
  bool IsInfinite() const { return mStart == TIME_NegInfinity && mEnd == TIME_PosInfinity; }

  // Intersection; disjoint intervals give the empty interval.
  Interval operator&(const Interval& o) const {
    if (Empty() || o.Empty()) return Interval(TIME_NegInfinity, TIME_NegInfinity);
    const TimeValue s = mStart > o.mStart ? mStart : o.mStart;
    const TimeValue e = mEnd < o.mEnd ? mEnd : o.mEnd;
    if (s > e) return Interval(TIME_NegInfinity, TIME_NegInfinity);
    return Interval(s, e);
  }
  Interval& operator&=(const Interval& o) { return *this = *this & o; }
  // Extends the interval to include t.
  Interval& operator+=(TimeValue t) {
    if (Empty()) {
      mStart = mEnd = t;
    } else {
      if (t < mStart) mStart = t;
      if (t > mEnd) mEnd = t;
    }
    return *this;
  }
  bool operator==(const Interval& o) const { return mStart == o.mStart && mEnd == o.mEnd; }
  bool operator!=(const Interval& o) const { return !(*this == o); }

 private:
  TimeValue mStart = TIME_NegInfinity;
  TimeValue mEnd = TIME_NegInfinity;
};

#define FOREVER Interval(TIME_NegInfinity, TIME_PosInfinity)
#define NEVER Interval(TIME_NegInfinity, TIME_NegInfinity)
