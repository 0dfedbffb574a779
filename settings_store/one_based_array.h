#pragma once

// A growable array whose first element is number 1, as the settings store's
// enumerations hand out names: `for (int i = 1; i <= count; ++i) names[i]`.
// Range-for walks elements 1..Count(); an index outside 1..Count() throws
// std::out_of_range.

#include <cstddef>
#include <vector>

namespace snapwire {

template <typename T>
class OneBasedArray {
  public:
    int Count() const { return static_cast<int>(items_.size()); }
    bool IsEmpty() const { return items_.empty(); }

    T& operator[](int index) { return items_.at(static_cast<std::size_t>(index - 1)); }
    const T& operator[](int index) const { return items_.at(static_cast<std::size_t>(index - 1)); }

    void Append(const T& item) { items_.push_back(item); }
    void Clear() { items_.clear(); }

    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

    const std::vector<T>& Items() const { return items_; }

  private:
    std::vector<T> items_;
};

}  // namespace snapwire
