// Pixel storage handed from one bitmap to the next while the skin loads.
//
// Start-up decodes several images of the window's size one after another,
// keeps only a few rectangles of most of them, then copies one into the
// frame. Each of those full-size buffers would otherwise land on fresh
// pages, and touching a fresh page costs far more than writing one already
// touched. While recycling is on, the storage KeepOnly lets go of waits here
// for the next bitmap that needs as much.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace portico {

// Turning it off frees whatever is kept.
void SetPixelRecycling(bool on);

// Storage for at least `pixels` pixels about to be written: reused when
// there is some, otherwise new and, when large, with its pages made at
// once (PrepareForWriting).
std::vector<uint32_t> PixelStorageFor(size_t pixels);

// Offers storage no longer needed; it is freed unless recycling is on and
// there is room for it.
void RecyclePixelStorage(std::vector<uint32_t>&& storage);

}  // namespace portico
