// The folder the setup is started in: a fresh one, the current directory while it lives, holding
// the demo media's skin archive as the test asks for it.
#pragma once

#include "TempDir.h"
#include "win32.h"

#include <string>

class CMediaDir : public TempDir {
 public:
  enum class Skin {
    kPlain,
    kCompressed,          // the whole archive SZDD-compressed, as a skin author may ship it
    kNone,                // no archive at all
    kWithoutCancelButton  // the archive without its member "BtnNo.bmp"
  };

  explicit CMediaDir(Skin skin = Skin::kPlain);
  ~CMediaDir();

  // The demo skin archive's bytes.
  static std::string SkinArchive();

 private:
  char m_szOldDirectory[MAX_PATH] = {};
};
