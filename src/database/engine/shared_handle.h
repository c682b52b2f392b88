// A counted handle: every copy shares one object and one count, and the last one to go deletes
// the object. Counting is atomic, so handles may be copied and dropped on any thread; the object
// behind them is not made thread-safe by this.
#pragma once

#include <atomic>

namespace sqliteplus {

template <class T>
class SharedHandle {
 public:
  SharedHandle() = default;
  // Takes ownership; a null object gives an empty handle.
  explicit SharedHandle(T* object) {
    if (object) {
      object_ = object;
      count_ = new std::atomic<long>(1);
    }
  }
  SharedHandle(const SharedHandle& other) { *this = other; }
  SharedHandle& operator=(const SharedHandle& other) {
    if (count_ == other.count_) return *this;
    // Take the new reference before dropping ours: `other` may live inside the object we release.
    T* object = other.object_;
    std::atomic<long>* count = other.count_;
    if (count) count->fetch_add(1);
    release();
    object_ = count ? object : nullptr;
    count_ = count;
    return *this;
  }
  ~SharedHandle() { release(); }

  void release() {
    if (count_ && count_->fetch_sub(1) == 1) {
      delete object_;
      delete count_;
    }
    object_ = nullptr;
    count_ = nullptr;
  }

  T* get() const { return object_; }
  T* operator->() const { return object_; }
  T& operator*() const { return *object_; }
  explicit operator bool() const { return object_ != nullptr; }
  long useCount() const { return count_ ? count_->load() : 0; }

 private:
  T* object_ = nullptr;
  std::atomic<long>* count_ = nullptr;
};

}  // namespace sqliteplus
