#pragma once
// Owning pointers to one object and to one array: deleted when replaced or
// destroyed.

#include <memory>

template <class T> using TPointer = std::unique_ptr<T>;
template <class T> using TAPointer = std::unique_ptr<T[]>;
