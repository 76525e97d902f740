#pragma once
// Shared handles are std::shared_ptr (atomic use and weak counts). A failed lookup hands out a
// reference to one empty handle per type instead of a null reference; it exists from its first use
// to the end of the process.

#include <memory>

template <class T>
const std::shared_ptr<T>& SharedEmpty() {
    static const std::shared_ptr<T> empty;
    return empty;
}
