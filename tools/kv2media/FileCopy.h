// A file of the media copied from its source: its bytes by blocks, its permissions and its
// dates. After every block the progress hears of it, and a signal noted by an InterruptGuard
// stops the copy.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

class CopyProgress;

// The bytes copied. Throws the file system's error, or InterruptGuard::Interrupted. The
// destination must not exist.
std::uint64_t CopyMediaFile(const std::filesystem::path& from, const std::filesystem::path& to, CopyProgress* pProgress);

// Why the file cannot be opened for reading; empty when it can.
std::string WhyUnreadable(const std::filesystem::path& path);
