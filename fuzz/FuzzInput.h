// What the fuzz targets share: an input put where a file reader reads it (a file of its own for
// this process), an SZDD input expanded in memory, the check that a reader's refusal is one a
// memory source can give, and coordinates moved without leaving the int range.
#pragma once

#include "DIBRefusal.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The path of a file holding exactly these bytes; the same path for every input of one extension.
std::string WriteFuzzInput(const std::uint8_t* data, std::size_t size, const char* extension);
std::string WriteFuzzInput(const std::vector<std::uint8_t>& bytes, const char* extension);

// The bytes of an SZDD input expanded as far as its data goes, no further than its header claims
// or than the data can justify; false for an input that is not SZDD-compressed.
bool ExpandFuzzInput(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& expanded);

// Aborts on a refusal that bytes in memory cannot cause: nothing there is opened or expanded.
void CheckMemoryRefusal(DIBRefusal refusal);

// A coordinate moved by d, held inside the int range: a fuzzed position may lie at either end.
int Step(int n, int d);
