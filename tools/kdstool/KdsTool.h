// kdstool's commands. Each returns the exit status: 0 done, 1 failed (with a message on
// standard error); what they find they print on standard output.
#pragma once

#include <string>
#include <vector>

class KdsTool {
 public:
  // Members named after the files; with bCompress the whole archive is one SZDD stream.
  int Pack(const std::string& archive, const std::vector<std::string>& files, bool bCompress);
  // One member a line: name, offset, size, width × height × bit count.
  int List(const std::string& archive);
  // The named members, or all, into the folder.
  int Extract(const std::string& archive, const std::vector<std::string>& members, const std::string& folder);
  // Every member loads by its name as an 8-bit bitmap.
  int Verify(const std::string& archive);
  int Compress(const std::string& in, const std::string& out);
  int Expand(const std::string& in, const std::string& out);

 private:
  int Fail(const std::string& message);
};
