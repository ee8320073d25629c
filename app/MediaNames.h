// The names the setup looks for in its media, shared with the tool that lays media out so that
// the two cannot disagree.
#pragma once

namespace media {

// The list of files to install, one name a line, beside the setup.
constexpr char kListFile[] = "KV2Setup.inf";
// The client the setup offers to start once it has installed.
constexpr char kClient[] = "KV2.EXE";
// The skin: an image archive beside the setup, as a file and as the loaders name its members
// ("K2Login|LoginBk.bmp").
constexpr char kSkinFile[] = "K2Login.kds";
constexpr char kSkinBackground[] = "K2Login|LoginBk.bmp";
constexpr char kSkinOKButton[] = "K2Login|BtnOK.bmp";
constexpr char kSkinCancelButton[] = "K2Login|BtnNo.bmp";
// Each button picture's rows: normal, pressed, focused.
constexpr int kButtonRows = 3;

}  // namespace media
