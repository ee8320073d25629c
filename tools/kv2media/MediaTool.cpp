#include "MediaTool.h"

#include "CFileException.h"
#include "CStdioFile.h"
#include "ListedName.h"
#include "MediaNames.h"
#include "SkinCheck.h"

#include <algorithm>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

const char kSetup[] = "KV2Setup.exe";

// The setup adds the sizes in 32 bits.
constexpr std::uint64_t kTotalLimit = std::uint64_t{1} << 32;

// The platform does not tell names apart by case.
bool SameName(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

bool IsWindowsProgram(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  char magic[2] = {};
  return in.read(magic, sizeof magic) && magic[0] == 'M' && magic[1] == 'Z';
}

bool IsEmptyFolder(const fs::path& folder) {
  std::error_code error;
  return fs::is_empty(folder, error) && !error;
}

// Whether one path lies within the other, or they are the same.
bool Overlap(const fs::path& a, const fs::path& b) {
  std::error_code error;
  const std::string x = fs::weakly_canonical(a, error).string() + "/";
  const std::string y = fs::weakly_canonical(b, error).string() + "/";
  return x.starts_with(y) || y.starts_with(x);
}

std::string MiB(std::uint64_t nBytes) { return std::to_string(nBytes >> 20) + " MiB"; }

// The files of the media by the names the setup opens them by, whatever the case, as the
// platform finds them; a name the code page cannot spell the setup cannot open.
MediaTool::NameIndex IndexFolder(const fs::path& folder, const CodePage& codePage) {
  MediaTool::NameIndex index;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    std::string strName;
    if (entry.is_regular_file(error) && codePage.FromUtf8(entry.path().filename().string(), strName))
      index.emplace(strName, entry.path());
  }
  return index;
}

fs::path Find(const MediaTool::NameIndex& index, const std::string& strName) {
  const auto found = index.find(strName);
  return found == index.end() ? fs::path() : found->second;
}

}  // namespace

bool MediaTool::NameLess::operator()(const std::string& a, const std::string& b) const {
  return lstrcmpiA(a.c_str(), b.c_str()) < 0;
}

void MediaTool::Problem(const std::string& what, const std::string& why) {
  m_err << "kv2media: " << what << ": " << why << "\n";
  ++m_nProblems;
}

void MediaTool::Warn(const std::string& what, const std::string& why) {
  m_err << "kv2media: warning: " << what << ": " << why << "\n";
}

int MediaTool::Refuse() {
  m_err << "kv2media: " << m_nProblems << (m_nProblems == 1 ? " problem" : " problems") << "; nothing written\n";
  return 1;
}

int MediaTool::Build(const BuildOptions& options) {
  m_nProblems = 0;
  const CodePage codePage(options.nCodePage);
  CheckInputs(options, codePage);
  if (m_nProblems > 0) return Refuse();
  Files files = ScanPayload(options.payload, codePage);
  if (!options.order.empty() && m_nProblems == 0) files = Reorder(files, options.order);
  CheckTotal(files);
  if (m_nProblems > 0) return Refuse();
  CheckClientListed(files);
  if (!Write(options, files)) return 1;
  Summarise(options, files);
  return 0;
}

void MediaTool::CheckInputs(const BuildOptions& options, const CodePage& codePage) {
  if (!codePage.IsKnown()) Problem("code page " + std::to_string(codePage.Number()), "not one this system converts to");
  std::error_code error;
  if (!fs::is_directory(options.payload, error)) Problem(options.payload, "not a folder");
  if (!IsWindowsProgram(options.setup)) Problem(options.setup, "not a Windows program, or missing");
  const std::string skinProblem = WhySkinNotShown(options.skin);
  if (!skinProblem.empty()) Problem(options.skin, "the setup would show no skin: " + skinProblem);
  if (fs::exists(options.out, error)) {
    if (!fs::is_directory(options.out, error)) Problem(options.out, "not a folder");
    else if (!options.bForce && !IsEmptyFolder(options.out)) Problem(options.out, "not empty (--force replaces it)");
  }
  if (Overlap(options.payload, options.out)) Problem(options.out, "the media and the payload overlap");
}

MediaTool::Files MediaTool::ScanPayload(const fs::path& payload, const CodePage& codePage) {
  std::vector<fs::directory_entry> entries;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(payload, error)) entries.push_back(entry);
  if (error) Problem(payload.string(), "cannot be read: " + error.message());
  // A stable order: by the names' bytes.
  std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.path() < b.path(); });
  Files files;
  NameIndex seen;
  for (const fs::directory_entry& entry : entries) AddPayloadFile(entry, codePage, seen, files);
  return files;
}

void MediaTool::AddPayloadFile(const fs::directory_entry& entry, const CodePage& codePage, NameIndex& seen,
                               Files& files) {
  const std::string shown = entry.path().string();
  std::error_code error;
  if (entry.is_directory(error)) {
    fs::path first = entry.path();
    for (const fs::directory_entry& inner : fs::recursive_directory_iterator(entry.path(), error))
      if (!inner.is_directory(error)) {
        first = inner.path();
        break;
      }
    Problem(first.string(), "in a subfolder, and the setup creates no folders");
    return;
  }
  if (!entry.is_regular_file(error)) return Problem(shown, "not a regular file");
  ListedFile file{entry.path(), {}, entry.file_size(error)};
  if (!codePage.FromUtf8(entry.path().filename().string(), file.strLine))
    return Problem(shown, "code page " + std::to_string(codePage.Number()) + " cannot spell its name");
  const std::string why = WhyNotInstallable(file.strLine, codePage);
  if (!why.empty()) return Problem(shown, why);
  for (const char* pszOwn : {kSetup, media::kSkinFile, media::kListFile})
    if (SameName(file.strLine, pszOwn)) return Problem(shown, std::string("the media's own ") + pszOwn + " has this name");
  const auto [earlier, bNew] = seen.emplace(file.strLine, file.source);
  if (!bNew) return Problem(shown, "the same name as " + earlier->second.filename().string() + " where case does not count");
  files.push_back(std::move(file));
}

MediaTool::Files MediaTool::Reorder(const Files& files, const std::string& order) {
  std::ifstream in(order, std::ios::binary);
  if (!in) {
    Problem(order, "cannot be read");
    return files;
  }
  Files ordered;
  std::vector<bool> taken(files.size(), false);
  std::string line;
  for (int nLine = 1; std::getline(in, line); ++nLine) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string where = order + " line " + std::to_string(nLine);
    const auto found = std::find_if(files.begin(), files.end(),
                                    [&](const ListedFile& f) { return f.source.filename().string() == line; });
    if (line.empty()) Problem(where, kEmptyNameProblem);
    else if (found == files.end()) Problem(where, line + " is not a file of the payload");
    else if (taken[found - files.begin()]) Problem(where, line + " is listed twice");
    else {
      taken[found - files.begin()] = true;
      ordered.push_back(*found);
    }
  }
  for (std::size_t i = 0; i < files.size(); ++i)
    if (!taken[i]) Problem(files[i].source.string(), "not in " + order);
  return ordered;
}

void MediaTool::CheckTotal(const Files& files) {
  std::uint64_t nTotal = 0;
  for (const ListedFile& file : files) {
    nTotal += file.nSize;
    if (nTotal >= kTotalLimit)
      return Problem(file.source.string(), "brings the total to " + std::to_string(nTotal) +
                                               " bytes; the setup adds sizes in 32 bits, and 4 GiB or more wrap");
  }
}

void MediaTool::CheckClientListed(const Files& files) {
  for (const ListedFile& file : files)
    if (SameName(file.strLine, media::kClient)) return;
  Warn(media::kClient, "not listed: the setup then ends quietly after its question");
}

bool MediaTool::Write(const BuildOptions& options, const Files& files) {
  // Laid out beside OUT and put in its place whole, so that a failure leaves OUT as it was.
  fs::path out = fs::path(options.out);
  if (!out.has_filename()) out = out.parent_path();
  const fs::path staging = out.string() + ".kv2media-partial";
  std::error_code error;
  try {
    fs::remove_all(staging);
    fs::create_directories(staging);
    fs::copy_file(options.setup, staging / kSetup);
    fs::copy_file(options.skin, staging / media::kSkinFile);
    CopyPayload(staging, files);
    std::ofstream list(staging / media::kListFile, std::ios::binary);
    for (const ListedFile& file : files) list << file.strLine << "\r\n";
    list.close();
    if (!list) throw fs::filesystem_error("cannot write", staging / media::kListFile, std::make_error_code(std::errc::io_error));
    Replace(out, staging);
  } catch (const fs::filesystem_error& e) {
    fs::remove_all(staging, error);
    m_err << "kv2media: " << options.out << ": cannot be written: " << e.what() << "\n";
    return false;
  }
  return true;
}

void MediaTool::Replace(const fs::path& out, const fs::path& media) {
  // The old OUT is set aside until the new one stands in its place, and comes back if it cannot.
  const fs::path old = out.string() + ".kv2media-old";
  fs::remove_all(old);
  const bool bExisted = fs::exists(out);
  if (bExisted) fs::rename(out, old);
  try {
    fs::rename(media, out);
  } catch (const fs::filesystem_error&) {
    if (bExisted) fs::rename(old, out);
    throw;
  }
  fs::remove_all(old);
}

void MediaTool::CopyPayload(const fs::path& folder, const Files& files) {
  std::uint64_t nTotal = 0;
  for (const ListedFile& file : files) nTotal += file.nSize;
  std::uint64_t nDone = 0;
  int nShownTenths = 0;
  for (std::size_t i = 0; i < files.size(); ++i) {
    // The file's own permissions go along: a read-only file stays read-only in the media.
    fs::copy_file(files[i].source, folder / files[i].source.filename());
    nDone += files[i].nSize;
    const int nTenths = nTotal == 0 ? 10 : static_cast<int>(nDone * 10 / nTotal);
    if (nTotal >= kLargePayload && nTenths > nShownTenths) {
      nShownTenths = nTenths;
      m_out << "kv2media: copied " << MiB(nDone) << " of " << MiB(nTotal) << " (" << i + 1 << " of " << files.size()
            << " files)\n";
    }
  }
}

void MediaTool::Summarise(const BuildOptions& options, const Files& files) {
  std::uint64_t nTotal = 0;
  bool bClient = false;
  for (const ListedFile& file : files) {
    nTotal += file.nSize;
    bClient = bClient || SameName(file.strLine, media::kClient);
  }
  m_out << "kv2media: laid out " << options.out << ": " << kSetup << ", " << media::kSkinFile << ", " << media::kListFile << " (code page "
        << options.nCodePage << ") and " << files.size() << " files of " << nTotal << " bytes\n"
        << "kv2media: the setup will copy the " << files.size()
        << " listed files into the one folder the user chooses, each with only the archive attribute, then "
        << (bClient ? std::string("offer to start ") + media::kClient : std::string("ask its question and end")) << "\n";
}

int MediaTool::Check(const std::string& media, UINT nCodePage) {
  m_nProblems = 0;
  const CodePage codePage(nCodePage);
  if (!codePage.IsKnown()) Problem("code page " + std::to_string(nCodePage), "not one this system converts to");
  std::error_code error;
  if (!fs::is_directory(media, error)) Problem(media, "not a folder");
  if (m_nProblems > 0) return 1;
  const NameIndex index = IndexFolder(media, codePage);
  if (Find(index, kSetup).empty()) Problem(kSetup, "missing from the media");
  const fs::path skin = Find(index, media::kSkinFile);
  const std::string skinProblem = skin.empty() ? "it is missing" : WhySkinNotShown(skin.string());
  if (!skinProblem.empty())
    Problem(media::kSkinFile, "the setup would show a bare dialog that proposes no folder: " + skinProblem);
  const Files files = ReadList(index, codePage);
  CheckTotal(files);
  CheckClientListed(files);
  if (m_nProblems > 0) return 1;
  std::uint64_t nTotal = 0;
  for (const ListedFile& file : files) nTotal += file.nSize;
  m_out << "kv2media: " << media << ": the setup installs all " << files.size() << " listed files, " << nTotal
        << " bytes\n";
  return 0;
}

MediaTool::Files MediaTool::ReadList(const NameIndex& index, const CodePage& codePage) {
  Files files;
  const fs::path list = Find(index, media::kListFile);
  CStdioFile file;
  if (list.empty() || !file.Open(list.c_str(), CFile::modeRead)) {
    Problem(media::kListFile, "cannot be read: the setup says \"Can't find KV2Setup.inf.\" and installs nothing");
    return files;
  }
  CString strLine;
  try {
    for (int nLine = 1; file.ReadString(strLine); ++nLine) {
      const std::string line(static_cast<const char*>(strLine), static_cast<std::size_t>(strLine.GetLength()));
      const std::string where = std::string(media::kListFile) + " line " + std::to_string(nLine) + " (" + codePage.Shown(line) + ")";
      const std::string why = WhyNotInstallable(line, codePage);
      const fs::path source = why.empty() ? Find(index, line) : fs::path();
      std::error_code error;
      if (!why.empty()) Problem(where, why);
      else if (source.empty()) Problem(where, "not in the media: the setup stops the install at it with an error report");
      else files.push_back(ListedFile{source, line, fs::file_size(source, error)});
    }
  } catch (const CFileException&) {
    Problem(media::kListFile, "cannot be read to its end: the setup stops the install with an error report");
  }
  return files;
}
