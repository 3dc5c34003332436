#pragma once
// A growable array in the framework's style: elements are appended at the end and
// every element access checks its index, raising CInvalidArgException outside it.
#include <cstddef>
#include <stdexcept>
#include <utility>
#include <vector>

// The framework's invalid-argument exception.
class CInvalidArgException : public std::invalid_argument {
public:
    CInvalidArgException() : std::invalid_argument("invalid argument") {}
};

template <class T>
class CArray {
public:
    int GetSize() const { return static_cast<int>(m_items.size()); }
    int GetCount() const { return GetSize(); }
    bool IsEmpty() const { return m_items.empty(); }
    int GetUpperBound() const { return GetSize() - 1; }
    // Growing adds default elements; 0 empties the array.
    void SetSize(int size) {
        if (size < 0) throw CInvalidArgException();
        m_items.resize(static_cast<size_t>(size));
    }
    void RemoveAll() { m_items.clear(); }
    // Appends and returns the new element's index.
    int Add(const T& item) {
        m_items.push_back(item);
        return GetSize() - 1;
    }

    const T& GetAt(int index) const { return m_items[Checked(index)]; }
    T& GetAt(int index) { return m_items[Checked(index)]; }
    T& ElementAt(int index) { return m_items[Checked(index)]; }
    void SetAt(int index, const T& item) { m_items[Checked(index)] = item; }
    const T& operator[](int index) const { return GetAt(index); }
    T& operator[](int index) { return GetAt(index); }
    void RemoveAt(int index) { m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(Checked(index))); }
    // Exchanges two elements whole (every field).
    void Swap(int a, int b) { std::swap(m_items[Checked(a)], m_items[Checked(b)]); }

private:
    size_t Checked(int index) const {
        if (index < 0 || index >= GetSize()) throw CInvalidArgException();
        return static_cast<size_t>(index);
    }
    std::vector<T> m_items;
};
