// What the fuzz targets share: an input put where the readers read it (a file of its own for
// this process), compressed, and coordinates moved without leaving the int range.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The path of a file holding exactly these bytes; the same path for every input of one extension.
std::string WriteFuzzInput(const std::uint8_t* data, std::size_t size, const char* extension);
std::string WriteFuzzInput(const std::vector<std::uint8_t>& bytes, const char* extension);

// The bytes compressed as a whole (SZDD), so that the expansion path sees structured data too.
std::vector<std::uint8_t> CompressedFuzzInput(const std::uint8_t* data, std::size_t size);

// A coordinate moved by d, held inside the int range: a fuzzed position may lie at either end.
int Step(int n, int d);
