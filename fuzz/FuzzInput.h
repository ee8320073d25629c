// Puts a fuzz input where the loaders read it: a file of its own for this process.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The path of a file holding exactly these bytes; the same path for every input.
std::string WriteFuzzInput(const std::uint8_t* data, std::size_t size, const char* extension);
