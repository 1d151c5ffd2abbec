// CArray: MFC's growable array template.
//
// Indexes and sizes are INT_PTR. New elements (growth by SetSize, SetAtGrow, InsertAt past
// the end) are value-initialised: zero for numbers and pointers, the default constructor for
// classes. An index outside the array in GetAt, SetAt, ElementAt, operator[] or a negative
// index in InsertAt throws std::out_of_range, as newer MFC throws an invalid-argument
// exception; RemoveAt clamps its range to the array.
#pragma once
#include <algorithm>
#include <stdexcept>
#include <type_traits>
#include <vector>

#include "afxobj_.h"

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CObject {
  static_assert(!std::is_same_v<TYPE, bool>, "use BOOL elements, as MFC code does");

public:
  CArray() = default;

  INT_PTR GetSize() const { return static_cast<INT_PTR>(m_data.size()); }
  INT_PTR GetCount() const { return GetSize(); }
  BOOL IsEmpty() const { return m_data.empty(); }
  INT_PTR GetUpperBound() const { return GetSize() - 1; }

  // Truncates or grows to nNewSize elements (a negative size empties the array). nGrowBy >= 0
  // sets how many elements to allocate ahead when the array must grow; -1 keeps the setting
  // (0, the default, lets the array choose).
  void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1) {
    if (nGrowBy >= 0) m_nGrowBy = nGrowBy;
    if (nNewSize < 0) nNewSize = 0;
    Reserve(nNewSize);
    m_data.resize(static_cast<std::size_t>(nNewSize));
  }
  void FreeExtra() { m_data.shrink_to_fit(); }
  void RemoveAll() { m_data.clear(); }

  const TYPE& GetAt(INT_PTR nIndex) const { return m_data.at(Checked(nIndex)); }
  TYPE& GetAt(INT_PTR nIndex) { return m_data.at(Checked(nIndex)); }
  void SetAt(INT_PTR nIndex, ARG_TYPE newElement) { m_data.at(Checked(nIndex)) = newElement; }
  const TYPE& ElementAt(INT_PTR nIndex) const { return GetAt(nIndex); }
  TYPE& ElementAt(INT_PTR nIndex) { return GetAt(nIndex); }
  const TYPE& operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
  TYPE& operator[](INT_PTR nIndex) { return GetAt(nIndex); }

  // The elements in order; null when the array is empty. Valid until the array changes size.
  const TYPE* GetData() const { return m_data.empty() ? nullptr : m_data.data(); }
  TYPE* GetData() { return m_data.empty() ? nullptr : m_data.data(); }

  // Sets element nIndex, growing the array first when nIndex is past its end.
  void SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement) {
    if (nIndex < 0) throw std::out_of_range("CArray::SetAtGrow: negative index");
    if (nIndex >= GetSize()) {
      TYPE copy(newElement);  // newElement may be an element of this array
      SetSize(nIndex + 1);
      m_data[static_cast<std::size_t>(nIndex)] = std::move(copy);
    } else {
      m_data[static_cast<std::size_t>(nIndex)] = newElement;
    }
  }

  // Appends one element; returns its index.
  INT_PTR Add(ARG_TYPE newElement) {
    INT_PTR index = GetSize();
    SetAtGrow(index, newElement);
    return index;
  }
  // Appends the elements of src (which may be this array); returns the index of the first.
  INT_PTR Append(const CArray& src) {
    INT_PTR first = GetSize();
    std::vector<TYPE> items(src.m_data);
    Reserve(first + static_cast<INT_PTR>(items.size()));
    for (auto& item : items) m_data.push_back(std::move(item));
    return first;
  }
  // Makes this array an element-by-element copy of src.
  void Copy(const CArray& src) {
    if (this == &src) return;
    SetSize(src.GetSize());
    std::copy(src.m_data.begin(), src.m_data.end(), m_data.begin());
  }

  // Inserts nCount copies of newElement before nIndex; an index past the end first grows
  // the array to nIndex elements, as MFC does.
  void InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount = 1) {
    if (nIndex < 0) throw std::out_of_range("CArray::InsertAt: negative index");
    if (nCount <= 0) return;
    TYPE copy(newElement);  // newElement may be an element of this array
    if (nIndex > GetSize()) SetSize(nIndex);
    Reserve(GetSize() + nCount);
    m_data.insert(m_data.begin() + nIndex, static_cast<std::size_t>(nCount), copy);
  }
  // Inserts every element of pNewArray before nStartIndex.
  void InsertAt(INT_PTR nStartIndex, const CArray* pNewArray) {
    if (nStartIndex < 0) throw std::out_of_range("CArray::InsertAt: negative index");
    if (!pNewArray || pNewArray->IsEmpty()) return;
    std::vector<TYPE> items(pNewArray->m_data);
    if (nStartIndex > GetSize()) SetSize(nStartIndex);
    Reserve(GetSize() + static_cast<INT_PTR>(items.size()));
    m_data.insert(m_data.begin() + nStartIndex, std::make_move_iterator(items.begin()),
                  std::make_move_iterator(items.end()));
  }
  // Removes nCount elements from nIndex on, shifting later ones down; the range is clamped.
  void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1) {
    INT_PTR first = std::clamp<INT_PTR>(nIndex, 0, GetSize());
    INT_PTR last = nCount <= 0 ? first : (nCount >= GetSize() - first ? GetSize() : first + nCount);
    m_data.erase(m_data.begin() + first, m_data.begin() + last);
  }

private:
  std::size_t Checked(INT_PTR nIndex) const {
    if (nIndex < 0 || nIndex >= GetSize()) throw std::out_of_range("CArray: index outside the array");
    return static_cast<std::size_t>(nIndex);
  }
  // Makes room for n elements, allocating ahead by the grow-by setting or, when it is 0,
  // by an eighth of the size (at least 4, at most 1024), as MFC sizes its steps; never less
  // than doubling, so appending stays cheap.
  void Reserve(INT_PTR n) {
    auto need = static_cast<std::size_t>(n);
    if (need <= m_data.capacity()) return;
    std::size_t size = m_data.size();
    std::size_t step = m_nGrowBy > 0 ? static_cast<std::size_t>(m_nGrowBy) : std::clamp<std::size_t>(size / 8, 4, 1024);
    m_data.reserve(std::max({need, size + step, m_data.capacity() * 2}));
  }

  std::vector<TYPE> m_data;
  INT_PTR m_nGrowBy = 0;
};
