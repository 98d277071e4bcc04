#pragma once
// A sequence with a gap at the place of the last insertion or removal: inserting or
// removing there again costs what is inserted or removed, not the elements after it,
// so typing Return on line 1 000 000 of a long text moves no million lines. Moving the
// gap elsewhere costs the distance once. Elements in the gap are default-constructed
// (T's moved-from state must own nothing).

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

namespace tamso {

template <class T, class Alloc = std::allocator<T>>
class GapVector {
 public:
  using Buffer = std::vector<T, Alloc>;
  GapVector() = default;
  GapVector& operator=(Buffer&& items) {
    buf_ = std::move(items);
    gapStart_ = gapEnd_ = buf_.size();
    return *this;
  }

  std::size_t size() const { return buf_.size() - (gapEnd_ - gapStart_); }
  T& operator[](std::size_t i) { return buf_[i < gapStart_ ? i : i + (gapEnd_ - gapStart_)]; }
  const T& operator[](std::size_t i) const {
    return buf_[i < gapStart_ ? i : i + (gapEnd_ - gapStart_)];
  }

  template <class... Args>
  void emplace_back(Args&&... args) {
    MakeRoom(size(), 1);
    buf_[gapStart_++] = T(std::forward<Args>(args)...);
  }

  // Inserts items before position pos.
  template <class Items>
  void insert(std::size_t pos, Items&& items) {
    MakeRoom(pos, items.size());
    for (T& item : items) buf_[gapStart_++] = std::move(item);
  }

  // Removes the elements [first, last).
  void erase(std::size_t first, std::size_t last) {
    if (first >= last) return;
    MoveGap(first);
    for (std::size_t k = gapEnd_; k < gapEnd_ + (last - first); ++k) buf_[k] = T();
    gapEnd_ += last - first;
  }

  template <class Self, class Item>
  class Iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = T;
    using difference_type = std::ptrdiff_t;
    using pointer = Item*;
    using reference = Item&;
    Iterator(Self* self, std::size_t i) : self_(self), i_(i) {}
    Item& operator*() const { return (*self_)[i_]; }
    Item* operator->() const { return &(*self_)[i_]; }
    Iterator& operator++() {
      ++i_;
      return *this;
    }
    bool operator==(const Iterator& o) const { return i_ == o.i_; }
    bool operator!=(const Iterator& o) const { return i_ != o.i_; }

   private:
    Self* self_;
    std::size_t i_;
  };
  using iterator = Iterator<GapVector, T>;
  using const_iterator = Iterator<const GapVector, const T>;
  iterator begin() { return {this, 0}; }
  iterator end() { return {this, size()}; }
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, size()}; }

 private:
  // Puts the gap at pos.
  void MoveGap(std::size_t pos) {
    if (pos < gapStart_) {
      std::move_backward(buf_.begin() + static_cast<std::ptrdiff_t>(pos),
                         buf_.begin() + static_cast<std::ptrdiff_t>(gapStart_),
                         buf_.begin() + static_cast<std::ptrdiff_t>(gapEnd_));
      gapEnd_ -= gapStart_ - pos;
      gapStart_ = pos;
    } else if (pos > gapStart_) {
      const std::size_t n = pos - gapStart_;
      std::move(buf_.begin() + static_cast<std::ptrdiff_t>(gapEnd_),
                buf_.begin() + static_cast<std::ptrdiff_t>(gapEnd_ + n),
                buf_.begin() + static_cast<std::ptrdiff_t>(gapStart_));
      gapStart_ = pos;
      gapEnd_ += n;
    }
  }

  // Puts a gap of at least n elements at pos; a new buffer leaves a gap of about a
  // quarter of the elements, so growing stays amortised.
  void MakeRoom(std::size_t pos, std::size_t n) {
    if (gapEnd_ - gapStart_ >= n) {
      MoveGap(pos);
      return;
    }
    const std::size_t count = size();
    const std::size_t gap = n + std::max<std::size_t>(count / 4, 16);
    Buffer fresh(count + gap);
    for (std::size_t i = 0; i < pos; ++i) fresh[i] = std::move((*this)[i]);
    for (std::size_t i = pos; i < count; ++i) fresh[i + gap] = std::move((*this)[i]);
    buf_ = std::move(fresh);
    gapStart_ = pos;
    gapEnd_ = pos + gap;
  }

  Buffer buf_;
  std::size_t gapStart_ = 0;
  std::size_t gapEnd_ = 0;
};

}  // namespace tamso
