// kv2media's commands: installation media laid out from a folder of files, and media checked,
// both against everything the setup cannot do. Each returns the exit status (Status, or 128 and
// the signal that interrupted it), with one message a problem or warning on the error stream,
// "WHERE: error: WHY"; what they did goes to `out`.
#pragma once

#include "CodePage.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

class CopyProgress;

class MediaTool {
 public:
  enum Status { kDone = 0, kProblems = 1, kUsage = 2, kIoFailure = 3 };

  struct BuildOptions {
    std::string payload;
    std::string out;
    std::string setup;  // the KV2Setup.exe to ship
    std::string skin;   // its skin archive, shipped as K2Login.kds
    std::string order;  // the order of the list file's lines; empty: by name
    UINT nCodePage = 949;
    bool bForce = false;     // replace an OUT that is not empty
    bool bStrict = false;    // refuse what is otherwise a warning
    bool bProgress = false;  // show the progress of large payloads
    std::string sign;        // a shell command that signs the Windows program at {} in place; empty: none
  };

  // Files by their names as the platform compares them.
  using NameIndex = std::map<std::u32string, std::filesystem::path>;
  // A file of the media and its name as the platform compares it; empty where the code page
  // cannot spell the name.
  struct MediaFile {
    std::filesystem::path path;
    std::u32string folded;
  };
  using MediaFiles = std::vector<MediaFile>;

  MediaTool(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}

  int Build(const BuildOptions& options);
  // A code page of 0: the one the media remember. bSigned: every Windows program must be signed.
  int Check(const std::string& media, UINT nCodePage, bool bSigned = false);

  // From this total on the progress is shown.
  static constexpr std::uint64_t kLargePayload = std::uint64_t{64} << 20;

 private:
  struct ListedFile {
    std::filesystem::path source;
    std::string strLine;  // the name in the code page
    std::uint64_t nSize = 0;
  };
  using Files = std::vector<ListedFile>;

  void Problem(const std::string& what, const std::string& why);
  void Warn(const std::string& what, const std::string& why);
  int Refuse();

  void RecoverLeftovers(const std::filesystem::path& out);
  void CheckInputs(const BuildOptions& options, const CodePage& codePage);
  Files ScanPayload(const std::filesystem::path& payload, const CodePage& codePage);
  void AddPayloadFile(const std::filesystem::directory_entry& entry, const CodePage& codePage, NameIndex& seen,
                      Files& files);
  Files Reorder(const Files& files, const std::string& order, const CodePage& codePage);
  void CheckTotal(const Files& files);
  void CheckPathLengths(const Files& files, bool bStrict);
  void CheckClientListed(const Files& files, const CodePage& codePage);
  bool HasRoom(const BuildOptions& options, const std::filesystem::path& out, const Files& files);

  int Write(const BuildOptions& options, const std::filesystem::path& out, Files& files);
  void Sign(const std::string& command, const std::filesystem::path& staging, Files& files, const CodePage& codePage);
  void Replace(const std::filesystem::path& out, const std::filesystem::path& media);
  void Summarise(const BuildOptions& options, const Files& files);

  UINT RememberedCodePage(const std::filesystem::path& media);
  Files ReadList(const std::filesystem::path& media, const NameIndex& index, const CodePage& codePage);
  void CheckAfterEnd(const std::filesystem::path& list);
  void CheckUnlisted(const MediaFiles& mediaFiles, const Files& files, const CodePage& codePage);
  void CheckSigned(const std::filesystem::path& media, const Files& files);

  std::ostream& m_out;
  std::ostream& m_err;
  int m_nProblems = 0;
};
