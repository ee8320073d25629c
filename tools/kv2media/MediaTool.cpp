#include "MediaTool.h"

#include "CFileException.h"
#include "CStdioFile.h"
#include "CopyProgress.h"
#include "FileCopy.h"
#include "InterruptGuard.h"
#include "ListedName.h"
#include "OrderFile.h"
#include "PlatformNames.h"
#include "ShellCommand.h"
#include "MediaNames.h"
#include "ProposedFolder.h"
#include "SkinCheck.h"
#include "WindowsProgram.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <set>
#include <system_error>
#include <unordered_map>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

const char kSetup[] = "KV2Setup.exe";
// The code page the media were laid out for, kept for `check` in a file of its own: the setup
// opens only the files it names, so it never reads this one, and the list stays its own.
const char kCodePageFile[] = "KV2Media.txt";
constexpr UINT kDefaultCodePage = 949;
constexpr char kEndOfText = 0x1A;  // Ctrl-Z: where the setup stops reading the list
const char kBom[] = "\xEF\xBB\xBF";
constexpr UINT kUtf8CodePage = 65001;

// The work folder beside OUT, and where an old OUT waits until the new one stands in its place.
const char kPartial[] = ".kv2media-partial";
const char kOld[] = ".kv2media-old";

// The setup adds the sizes in 32 bits.
constexpr std::uint64_t kTotalLimit = std::uint64_t{1} << 32;

constexpr const char* kOwnFiles[] = {kSetup, media::kSkinFile, media::kListFile, kCodePageFile};

// Thrown when the publisher's signing command fails on a program of the media, or damages it:
// what happened, as a message says it after "the signing command".
struct SigningFailed {
  std::string what;
};

// Thrown when a payload file did not copy as many bytes as planned: it changed meanwhile.
struct SizeChanged {
  fs::path source;
  std::uint64_t nPlanned = 0;
  std::uint64_t nCopied = 0;
};

bool IsOwnFile(const std::u32string& folded, const CodePage& codePage) {
  // Folded once for each code page: every line and every file of the media is compared with them.
  static std::map<UINT, std::set<std::u32string>> ownByCodePage;
  auto [it, bNew] = ownByCodePage.try_emplace(codePage.Number());
  if (bNew)
    for (const char* psz : kOwnFiles) it->second.insert(FoldedName(psz, codePage));
  return it->second.contains(folded);
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

fs::path Beside(const fs::path& out, const char* pszSuffix) { return out.string() + pszSuffix; }

std::string MiB(std::uint64_t nBytes) { return std::to_string((nBytes + (1 << 20) - 1) >> 20) + " MiB"; }

template <class Files>
std::uint64_t Total(const Files& files) {
  std::uint64_t nTotal = 0;
  for (const auto& file : files) nTotal += file.nSize;
  return nTotal;
}

// Shown text in quotes where a space at either end, or nothing at all, would go unseen.
std::string Quoted(const std::string& shown) {
  const auto space = [](char c) { return c == ' ' || c == '\t'; };
  return shown.empty() || space(shown.front()) || space(shown.back()) ? "\"" + shown + "\"" : shown;
}

// Text as a terminal can show it: UTF-8 as it is, other bytes and control characters escaped.
std::string Readable(const std::string& text) { return Quoted(CodePage(kUtf8CodePage).Shown(text)); }

// A name as a message shows it: UTF-8 as it is, anything else as text of the code page.
std::string Shown(const std::string& name, const CodePage& codePage) {
  std::string utf8;
  const CodePage utf8CodePage(kUtf8CodePage);
  return Quoted(utf8CodePage.ToUtf8(name, utf8) ? utf8CodePage.Shown(name) : codePage.Shown(name));
}

// A file's name in the media: the one the list spells, which the source's may only resemble
// (decomposed Hangul).
std::string MediaName(const std::string& strLine, const CodePage& codePage) {
  std::string name;
  codePage.ToUtf8(strLine, name);
  return name;
}

// The command with the path, quoted for the shell, in place of each {}.
std::string Substituted(const std::string& command, const fs::path& path) {
  std::string quoted = "'";
  for (const char c : path.string()) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  quoted += "'";
  std::string result;
  for (std::size_t i = 0; i < command.size(); ++i) {
    if (command.compare(i, 2, "{}") == 0) {
      result += quoted;
      ++i;
    } else {
      result += command[i];
    }
  }
  return result;
}

// How a command ended, as a message says it.
std::string Outcome(int nStatus) {
  if (nStatus == -1) return "the shell could not be started";
  if (WIFSIGNALED(nStatus)) return std::string("killed by ") + InterruptGuard::Name(WTERMSIG(nStatus));
  return "exit status " + std::to_string(WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : nStatus);
}

// What a signing command that exited 0 did to a program the media could not start with; empty
// where nothing. bProgram: it was a Windows program before, for the machine type nMachine.
std::string SigningDamage(const fs::path& program, bool bProgram, std::uint16_t nMachine) {
  const std::string why = WhyNotWindowsProgram(program.string());
  if (why.starts_with("missing")) return why;
  if (!bProgram) return {};
  if (!why.empty()) return "damaged: " + why;
  const std::uint16_t nNow = MachineType(program.string());
  if (nNow == nMachine) return {};
  char hex[40];
  std::snprintf(hex, sizeof hex, "0x%04X instead of 0x%04X", nNow, nMachine);
  return std::string("a program for machine type ") + hex;
}

// The files of the media, each name folded once: the list's lines and the check for files no
// line names both look them up.
MediaTool::MediaFiles ListMedia(const fs::path& folder, const CodePage& codePage) {
  MediaTool::MediaFiles mediaFiles;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    std::string strName;
    if (!entry.is_regular_file(error)) continue;
    const bool bSpelled = codePage.FromUtf8(entry.path().filename().string(), strName);
    mediaFiles.push_back({entry.path(), bSpelled ? FoldedName(strName, codePage) : std::u32string()});
  }
  return mediaFiles;
}

// The files of the media by the names the setup opens them by, whatever the case, as the
// platform finds them; a name the code page cannot spell the setup cannot open.
MediaTool::NameIndex IndexOf(const MediaTool::MediaFiles& mediaFiles) {
  MediaTool::NameIndex index;
  for (const MediaTool::MediaFile& file : mediaFiles)
    if (!file.folded.empty()) index.emplace(file.folded, file.path);
  return index;
}

fs::path Find(const MediaTool::NameIndex& index, const std::u32string& folded) {
  const auto found = index.find(folded);
  return found == index.end() ? fs::path() : found->second;
}

fs::path Find(const MediaTool::NameIndex& index, const std::string& strName, const CodePage& codePage) {
  return Find(index, FoldedName(strName, codePage));
}

}  // namespace

// Where a message is about goes out readable, whatever bytes its names hold.
void MediaTool::Problem(const std::string& what, const std::string& why) {
  m_err << Readable(what) << ": error: " << why << "\n";
  ++m_nProblems;
}

void MediaTool::Warn(const std::string& what, const std::string& why) {
  m_err << Readable(what) << ": warning: " << why << "\n";
}

int MediaTool::Refuse() {
  m_err << "kv2media: " << m_nProblems << (m_nProblems == 1 ? " problem" : " problems") << "; nothing written\n";
  return kProblems;
}

int MediaTool::Build(const BuildOptions& options) {
  m_nProblems = 0;
  const CodePage codePage(options.nCodePage);
  fs::path out = fs::path(options.out);
  if (!out.has_filename()) out = out.parent_path();
  RecoverLeftovers(out);
  CheckInputs(options, codePage);
  if (m_nProblems > 0) return Refuse();
  Files files = ScanPayload(options.payload, codePage);
  if (!options.order.empty() && m_nProblems == 0) files = Reorder(files, options.order, codePage);
  if (files.empty() && m_nProblems == 0) Problem(options.payload, "holds no files: the media would install nothing");
  CheckTotal(files);
  CheckPathLengths(files, options.bStrict);
  if (m_nProblems > 0) return Refuse();
  CheckClientListed(files, codePage);
  if (!HasRoom(options, out, files)) return kIoFailure;
  const int nStatus = Write(options, out, files);
  if (nStatus == kDone) Summarise(options, files);
  return nStatus;
}

void MediaTool::RecoverLeftovers(const fs::path& out) {
  // What a run that was killed outright left: its work folder, or the old media it had set aside.
  const fs::path partial = Beside(out, kPartial);
  const fs::path old = Beside(out, kOld);
  std::error_code error;
  if (fs::exists(partial, error)) {
    fs::remove_all(partial, error);
    if (error) Problem(partial.string(), "left by an interrupted run, and cannot be removed: " + error.message());
    else Warn(partial.string(), "left by an interrupted run: removed");
  }
  if (!fs::exists(old, error)) return;
  if (!fs::exists(out, error)) {
    fs::rename(old, out, error);
    if (error) Problem(old.string(), "old media an interrupted run set aside, and cannot be put back: " + error.message());
    else Warn(old.string(), "old media an interrupted run set aside: put back as " + out.string());
    return;
  }
  fs::remove_all(old, error);
  if (!error) return Warn(old.string(), "old media left beside newer ones: removed");
  // Set aside under a fresh name, so that it does not block the next media put in OUT's place.
  const std::string why = std::strerror(error.value());
  for (int i = 1; i < 1000; ++i) {
    const fs::path aside = old.string() + "-" + std::to_string(i);
    if (fs::exists(aside, error)) continue;
    fs::rename(old, aside, error);
    if (!error) return Warn(aside.string(), "old media left beside newer ones, which cannot all be removed (" + why + "): set aside here for you to remove");
    break;
  }
  Problem(old.string(), "old media left beside newer ones, which can neither be removed nor set aside (" + why + "): remove it");
}

void MediaTool::CheckInputs(const BuildOptions& options, const CodePage& codePage) {
  if (!codePage.IsKnown()) Problem("code page " + std::to_string(codePage.Number()), "not one this system converts to");
  std::error_code error;
  if (!fs::is_directory(options.payload, error))
    Problem(options.payload, fs::exists(options.payload, error) ? "not a folder" : "does not exist");
  const std::string setupProblem = WhyNotWindowsProgram(options.setup);
  if (!setupProblem.empty()) Problem(options.setup, setupProblem + " (--setup names the KV2Setup.exe to ship)");
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
  const std::string name = entry.path().filename().string();
  if (!codePage.FromUtf8(ComposedHangul(name), file.strLine)) {
    // A name unpacked on this system from an archive made in the code page keeps its bytes.
    const std::string cp = std::to_string(codePage.Number());
    std::string utf8;
    if (Readable(name) != name && codePage.ToUtf8(name, utf8))
      return Problem(shown, "its name is in code page " + cp + " already, where it reads " + utf8 +
                                "; names here are UTF-8: rename it (convmv -f cp" + cp + " -t utf-8 --notest)");
    return Problem(shown, "code page " + cp + " cannot spell its name");
  }
  const std::string why = WhyNotInstallable(file.strLine, codePage);
  if (!why.empty()) return Problem(shown, why);
  for (const char* pszOwn : kOwnFiles)
    if (SameName(file.strLine, pszOwn, codePage)) return Problem(shown, std::string("the media's own ") + pszOwn + " has this name");
  const auto [earlier, bNew] = seen.emplace(FoldedName(file.strLine, codePage), file.source);
  const std::string earlierName = earlier->second.filename().string();
  if (!bNew)
    return Problem(shown, "the same name as " + Readable(earlierName) +
                              (ComposedHangul(earlierName) == ComposedHangul(name) ? " once its Hangul is composed"
                                                                                   : " where case does not count"));
  // Opened now, so that a file the copy could not read refuses the payload before a byte is written.
  const std::string unreadable = WhyUnreadable(entry.path());
  if (!unreadable.empty()) return Problem(shown, "cannot be read: " + unreadable);
  // Root reads it all the same; the media keep its permissions, and other users could not.
  if ((entry.status(error).permissions() & fs::perms::owner_read) == fs::perms::none)
    Warn(shown, "its owner may not read it, and the media keep its permissions: only root can read it there");
  files.push_back(std::move(file));
}

MediaTool::Files MediaTool::Reorder(const Files& files, const std::string& order, const CodePage& codePage) {
  std::ifstream in(order, std::ios::binary);
  std::error_code error;
  if (!fs::is_regular_file(order, error) || !in) {
    Problem(order, fs::is_directory(order, error) ? "not a file (--order names a file of names)" : "cannot be read");
    return files;
  }
  // Each file by its UTF-8 name and by its name in the code page, the first file where two share one.
  std::unordered_map<std::string, std::size_t> byName;
  for (std::size_t i = 0; i < files.size(); ++i) {
    byName.emplace(files[i].source.filename().string(), i);
    byName.emplace(files[i].strLine, i);
  }
  Files ordered;
  std::vector<bool> taken(files.size(), false);
  for (const OrderedName& entry : ReadOrder(in)) {
    const std::string& line = entry.name;
    const std::string where = order + ":" + std::to_string(entry.nLine);
    const auto found = byName.find(line);
    if (found == byName.end()) Problem(where, Shown(line, codePage) + " is not a file of the payload");
    else if (taken[found->second]) Problem(where, Shown(line, codePage) + " is listed twice");
    else {
      taken[found->second] = true;
      ordered.push_back(files[found->second]);
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

void MediaTool::CheckPathLengths(const Files& files, bool bStrict) {
  // The folder the setup proposes where no earlier installation is known.
  CString strFolder;
  FolderBeside(BaseFolder(CString()), strFolder);
  const std::string folder(strFolder);
  for (const ListedFile& file : files) {
    const std::size_t nLength = folder.size() + file.strLine.size();
    if (nLength < MAX_PATH) continue;
    const std::string why = "in the setup's default folder " + folder + " its path has " + std::to_string(nLength) +
                            " characters, past the platform's " + std::to_string(MAX_PATH - 1) +
                            ": the copy fails there";
    if (bStrict) Problem(file.source.string(), why);
    else Warn(file.source.string(), why + " (--strict refuses it)");
  }
}

void MediaTool::CheckClientListed(const Files& files, const CodePage& codePage) {
  for (const ListedFile& file : files)
    if (SameName(file.strLine, media::kClient, codePage)) return;
  Warn(media::kClient, "not listed: the setup then ends quietly after its question");
}

bool MediaTool::HasRoom(const BuildOptions& options, const fs::path& out, const Files& files) {
  std::error_code error;
  std::uint64_t nNeeded = Total(files) + fs::file_size(options.setup, error) + fs::file_size(options.skin, error);
  for (const ListedFile& file : files) nNeeded += file.strLine.size() + 2;
  // The file system OUT will be on: that of its nearest folder that exists.
  fs::path existing = fs::absolute(out, error);
  while (!fs::exists(existing, error) && existing.has_relative_path()) existing = existing.parent_path();
  const fs::space_info space = fs::space(existing, error);
  if (error || space.available >= nNeeded) return true;
  m_err << Readable(options.out) << ": error: the media need " << MiB(nNeeded) << ", and its file system has "
        << MiB(space.available) << " free; nothing written\n";
  return false;
}

int MediaTool::Write(const BuildOptions& options, const fs::path& out, Files& files) {
  // Laid out beside OUT and put in its place whole, so that a failure leaves OUT as it was.
  const fs::path staging = Beside(out, kPartial);
  const CodePage codePage(options.nCodePage);
  const InterruptGuard guard;
  std::error_code error;
  try {
    fs::create_directories(staging);
    CopyMediaFile(options.setup, staging / kSetup, nullptr);
    CopyMediaFile(options.skin, staging / media::kSkinFile, nullptr);
    CopyProgress progress(m_err, Total(files), files.size(), options.bProgress && Total(files) >= kLargePayload);
    for (const ListedFile& file : files) {
      const std::uint64_t nCopied = CopyMediaFile(file.source, staging / MediaName(file.strLine, codePage), &progress);
      std::error_code sizeError;
      if (nCopied != file.nSize || fs::file_size(file.source, sizeError) != file.nSize)
        throw SizeChanged{file.source, file.nSize, nCopied};
      progress.FileDone();
    }
    std::ofstream list(staging / media::kListFile, std::ios::binary);
    for (const ListedFile& file : files) list << file.strLine << "\r\n";
    list.close();
    if (!options.sign.empty()) Sign(options.sign, staging, files, codePage);
    std::ofstream remembered(staging / kCodePageFile, std::ios::binary);
    remembered << codePage.Note();
    remembered.close();
    if (!list || !remembered)
      throw fs::filesystem_error("cannot be written", staging, std::make_error_code(std::errc::io_error));
    InterruptGuard::ThrowIfNoted();
    Replace(out, staging);
  } catch (const InterruptGuard::Interrupted& interrupted) {
    fs::remove_all(staging, error);
    m_err << "kv2media: interrupted by " << InterruptGuard::Name(interrupted.nSignal) << ": " << Readable(options.out)
          << " left as it was, the media in hand removed\n";
    return 128 + interrupted.nSignal;
  } catch (const SigningFailed& failed) {
    fs::remove_all(staging, error);
    m_err << Readable(options.out) << ": error: the signing command " << Readable(failed.what) << "; nothing written\n";
    return kIoFailure;
  } catch (const SizeChanged& changed) {
    fs::remove_all(staging, error);
    m_err << Readable(changed.source.string()) << ": error: changed while it was copied: " << changed.nCopied
          << " bytes copied of the " << changed.nPlanned << " planned; nothing written\n";
    return kIoFailure;
  } catch (const fs::filesystem_error& e) {
    fs::remove_all(staging, error);
    // What failed and why, in the tool's words rather than the library's.
    const std::string where = e.path1().empty() ? options.out : e.path1().string();
    m_err << Readable(options.out) << ": error: cannot be written: " << Readable(where) << ": "
          << std::strerror(e.code().value()) << "\n";
    return kIoFailure;
  }
  if (InterruptGuard::Signal() == 0) return kDone;
  m_err << "kv2media: interrupted by " << InterruptGuard::Name(InterruptGuard::Signal()) << " once " << Readable(options.out)
        << " held the new media, complete\n";
  return 128 + InterruptGuard::Signal();
}

void MediaTool::Sign(const std::string& command, const fs::path& staging, Files& files, const CodePage& codePage) {
  std::vector<std::pair<fs::path, ListedFile*>> programs{{staging / kSetup, nullptr}};
  for (ListedFile& file : files) {
    const std::string name = MediaName(file.strLine, codePage);
    if (IsProgramName(name)) programs.emplace_back(staging / name, &file);
  }
  for (const auto& [program, pFile] : programs) {
    struct stat before = {};
    ::stat(program.c_str(), &before);
    // What a payload file named like a program was before, it must stay: no more is asked of it.
    const bool bProgram = WhyNotWindowsProgram(program.string()).empty();
    const std::uint16_t nMachine = MachineType(program.string());
    const int nStatus = RunShellCommand(Substituted(command, program));
    InterruptGuard::ThrowIfNoted();
    const std::string name = program.filename().string();
    if (nStatus != 0) throw SigningFailed{"failed on " + name + " (" + Outcome(nStatus) + ")"};
    const std::string damage = SigningDamage(program, bProgram, nMachine);
    if (!damage.empty()) throw SigningFailed{"left " + name + " " + damage};
    // A signing tool writes a new file: the program keeps the permissions and dates of the one
    // it was made from, and the summary its size as laid out.
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    if (::chmod(program.c_str(), before.st_mode & 07777) != 0 || ::utimensat(AT_FDCWD, program.c_str(), times, 0) != 0)
      throw fs::filesystem_error("cannot be written", program, std::error_code(errno, std::generic_category()));
    if (pFile != nullptr) pFile->nSize = fs::file_size(program);
  }
}

void MediaTool::Replace(const fs::path& out, const fs::path& media) {
  // The old OUT is set aside until the new one stands in its place, and comes back if it cannot.
  const fs::path old = Beside(out, kOld);
  const bool bExisted = fs::exists(out);
  if (bExisted) fs::rename(out, old);
  try {
    fs::rename(media, out);
  } catch (const fs::filesystem_error&) {
    if (bExisted) fs::rename(old, out);
    throw;
  }
  std::error_code error;
  // The new media are in place: what of the old cannot go is the user's to remove.
  if (bExisted && (fs::remove_all(old, error), error))
    Warn(old.string(), "the old media, not all removed (" + error.message() + "); the new media are in place");
}

void MediaTool::Summarise(const BuildOptions& options, const Files& files) {
  bool bClient = false;
  for (const ListedFile& file : files)
    bClient = bClient || SameName(file.strLine, media::kClient, CodePage(options.nCodePage));
  m_out << "kv2media: laid out " << options.out << ": " << kSetup << ", " << media::kSkinFile << ", " << media::kListFile << " (code page "
        << options.nCodePage << ") and " << files.size() << " files of " << Total(files) << " bytes\n"
        << "kv2media: the setup will copy the " << files.size()
        << " listed files into the one folder the user chooses, each with only the archive attribute, then "
        << (bClient ? std::string("offer to start ") + media::kClient : std::string("ask its question and end")) << "\n";
}

int MediaTool::Check(const std::string& media, UINT nCodePage, bool bSigned) {
  m_nProblems = 0;
  std::error_code error;
  if (!fs::is_directory(media, error)) {
    Problem(media, fs::exists(media, error) ? "not a folder" : "does not exist");
    // What a run killed outright left in its place.
    for (const char* pszSuffix : {kOld, kPartial})
      if (fs::exists(Beside(media, pszSuffix), error))
        Warn(Beside(media, pszSuffix).string(), pszSuffix == kOld ? "old media an interrupted run set aside: `kv2media build` puts them back"
                                                                    : "media an interrupted run left unfinished: `kv2media build` removes them");
    return kProblems;
  }
  const CodePage codePage(nCodePage != 0 ? nCodePage : RememberedCodePage(media));
  if (!codePage.IsKnown()) {
    Problem("code page " + std::to_string(codePage.Number()), "not one this system converts to");
    return kProblems;
  }
  const MediaFiles mediaFiles = ListMedia(media, codePage);
  const NameIndex index = IndexOf(mediaFiles);
  const fs::path setup = Find(index, kSetup, codePage);
  const std::string setupProblem = setup.empty() ? "missing from the media" : WhyNotWindowsProgram(setup.string());
  if (!setupProblem.empty()) Problem((fs::path(media) / kSetup).string(), setupProblem);
  const fs::path skin = Find(index, media::kSkinFile, codePage);
  const std::string skinProblem = skin.empty() ? "it is missing" : WhySkinNotShown(skin.string());
  if (!skinProblem.empty())
    Problem((fs::path(media) / media::kSkinFile).string(),
            "the setup would show a bare dialog that proposes no folder: " + skinProblem);
  const Files files = ReadList(media, index, codePage);
  CheckTotal(files);
  CheckUnlisted(mediaFiles, files, codePage);
  CheckClientListed(files, codePage);
  if (bSigned) CheckSigned(media, files);
  if (m_nProblems > 0) {
    m_err << "kv2media: " << media << ": " << m_nProblems << (m_nProblems == 1 ? " problem" : " problems") << "\n";
    return kProblems;
  }
  m_out << "kv2media: " << media << ": the setup installs all " << files.size() << " listed files, " << Total(files)
        << " bytes (code page " << codePage.Number() << ")\n";
  return kDone;
}

// The code page the media remember, or the one media of before it was remembered were laid out for.
UINT MediaTool::RememberedCodePage(const fs::path& media) {
  const fs::path note = media / kCodePageFile;
  std::ifstream in(note, std::ios::binary);
  if (!in) return kDefaultCodePage;
  const UINT nCodePage = CodePage::Noted(in);
  if (nCodePage != 0) return nCodePage;
  Warn(note.string(), "names no code page (codepage=N on its first line): the list is read in code page " +
                          std::to_string(kDefaultCodePage));
  return kDefaultCodePage;
}

MediaTool::Files MediaTool::ReadList(const fs::path& media, const NameIndex& index, const CodePage& codePage) {
  Files files;
  const fs::path list = Find(index, media::kListFile, codePage);
  CStdioFile file;
  if (list.empty() || !file.Open(list.c_str(), CFile::modeRead)) {
    Problem((media / media::kListFile).string(),
            "cannot be read: the setup says \"Can't find KV2Setup.inf.\" and installs nothing");
    return files;
  }
  std::map<std::u32string, int> seen;  // each name's first line
  int nLines = 0;
  CString strLine;
  const std::string strList = list.string();
  try {
    for (int nLine = 1; file.ReadString(strLine); nLines = nLine++) {
      const std::string line(static_cast<const char*>(strLine), static_cast<std::size_t>(strLine.GetLength()));
      const std::string where = strList + ":" + std::to_string(nLine);
      const std::string shown = Quoted(codePage.Shown(line));
      const std::string why = WhyNotInstallable(line, codePage);
      const std::u32string folded = FoldedName(line, codePage);
      const fs::path source = why.empty() ? Find(index, folded) : fs::path();
      const auto [earlier, bNew] = seen.emplace(folded, nLine);
      std::error_code error;
      if (nLine == 1 && line.starts_with(kBom)) Problem(where, "starts with a BOM, which the setup reads as part of the first name");
      else if (line.find('\0') != std::string::npos)
        Problem(where, shown + ": text after a NUL, which the setup never reads: it copies the name before it");
      else if (line.empty()) Problem(where, why);
      else if (!why.empty()) Problem(where, shown + ": " + why);
      else if (IsOwnFile(folded, codePage)) Problem(where, shown + ": one of the media's own files, which the install would copy too");
      else if (!bNew)
        Problem(where, shown + ": the same name as line " + std::to_string(earlier->second) +
                           " where case does not count: the setup copies it twice and counts its bytes twice");
      else if (source.empty()) {
        Problem(where, shown + ": not in the media: the setup stops the install at it with an error report");
        files.push_back(ListedFile{{}, line, 0});  // listed all the same: no warning that it is not
      }
      else files.push_back(ListedFile{source, line, fs::file_size(source, error)});
    }
  } catch (const CFileException&) {
    Problem(list.string(), "cannot be read to its end: the setup stops the install with an error report");
  }
  if (files.empty() && nLines == 0) Problem(list.string(), "names no files: the setup would install nothing");
  CheckAfterEnd(list);
  return files;
}

void MediaTool::CheckAfterEnd(const fs::path& list) {
  std::ifstream in(list, std::ios::binary);
  const std::string bytes(std::istreambuf_iterator<char>(in), {});
  const std::size_t nEnd = bytes.find(kEndOfText);
  if (nEnd == std::string::npos) return;
  // Each line after the Ctrl-Z, numbered on from those the setup reads; the line it ends may go on.
  const int nEndLine = static_cast<int>(std::count(bytes.begin(), bytes.begin() + static_cast<long>(nEnd), '\n')) + 1;
  int nLine = nEndLine;
  std::size_t nStart = nEnd + 1;
  while (nStart < bytes.size()) {
    std::size_t nStop = bytes.find('\n', nStart);
    if (nStop == std::string::npos) nStop = bytes.size();
    std::string line = bytes.substr(nStart, nStop - nStart);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty())
      Problem(list.string() + ":" + std::to_string(nLine), CodePage(kUtf8CodePage).Shown(line) +
                                                              ": after the Ctrl-Z on line " + std::to_string(nEndLine) +
                                                              ", where the setup stops reading: it never installs this");
    ++nLine;
    nStart = nStop + 1;
  }
}

void MediaTool::CheckUnlisted(const MediaFiles& mediaFiles, const Files& files, const CodePage& codePage) {
  // Folded once each: media of many files are compared name by name.
  std::set<std::u32string> listed;
  for (const ListedFile& file : files) listed.insert(FoldedName(file.strLine, codePage));
  const std::u32string client = FoldedName(media::kClient, codePage);
  for (const MediaFile& file : mediaFiles) {
    if (file.folded.empty())
      Warn(file.path.string(), "no line can name it: code page " + std::to_string(codePage.Number()) + " cannot spell its name");
    else if (!IsOwnFile(file.folded, codePage) && file.folded != client && !listed.contains(file.folded))
      Warn(file.path.string(), "no line of KV2Setup.inf names it: the setup does not install it");
  }
}

void MediaTool::CheckSigned(const fs::path& media, const Files& files) {
  std::vector<fs::path> programs{media / kSetup};
  for (const ListedFile& file : files)
    if (IsProgramName(file.source.filename().string())) programs.push_back(file.source);
  for (const fs::path& program : programs)
    if (!IsSigned(program.string())) Problem(program.string(), "a Windows program that carries no signature");
}
