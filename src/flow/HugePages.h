#pragma once

#include <cstddef>
#include <vector>

namespace tvl {

// Asks the system to back the whole 2 MiB pages within [begin, begin + bytes)
// with huge pages where it can. A regular grid of many samples is written
// once from end to end; with 4 KiB pages its first touch costs a page fault
// every 4 KiB, which takes longer than filling the samples. A hint only:
// nothing changes where the system declines it.
void adviseHugePages(void* begin, std::size_t bytes);

// Writes one byte in every page of [begin, begin + bytes), so that the system
// provides (and zeroes) the pages now, on the calling thread: two threads
// touching a half each share that work. The bytes written are zeros in
// storage that holds no objects yet.
void touchPages(void* begin, std::size_t bytes);

// Reserves room for count elements (touching none of it) and advises huge
// pages for it, ahead of filling the vector.
template <class T, class Allocator> void reserveWithHugePages(std::vector<T, Allocator>& values, std::size_t count)
{
    values.reserve(count);
    adviseHugePages(values.data(), values.capacity() * sizeof(T));
}

} // namespace tvl
