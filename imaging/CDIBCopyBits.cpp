#include "BlockCopy.h"
#include "CDIB.h"
#include "DIBLayout.h"

#include <cstdint>

namespace {

// A bitmap's pixels as its header lays them out, read once per copy: a sprite batch makes many
// small copies, and the bounds of the buffer rest on the header, not on what a query returns.
struct Pixels {
  BYTE* pBits;
  std::int64_t width;
  std::int64_t height;
  std::ptrdiff_t stride;

  explicit Pixels(const CDIB& dib)
      : pBits(dib.m_pBits),
        width(dib.m_pBMI ? dib.m_pBMI->bmiHeader.biWidth : 0),
        height(dib.m_pBMI ? dib.m_pBMI->bmiHeader.biHeight : 0),
        stride(static_cast<std::ptrdiff_t>(dib::Stride(width))) {}

  // Whether the block [x, x + w) × [y, y + h) lies inside; 64-bit, so no sum wraps.
  bool Contains(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) const {
    return pBits != nullptr && x >= 0 && y >= 0 && x + w <= width && y + h <= height;
  }

  // Row y counted from the top, as the queries count it.
  BYTE* At(int x, int y) const { return pBits + static_cast<std::ptrdiff_t>(height - 1 - y) * stride + x; }
};

}  // namespace

void CDIB::CopyBits(CDIB* pDest, int nDestX, int nDestY, int nWidth, int nHeight, int nSrcX, int nSrcY,
                    COLORREF crTransparent, UINT nFlags) {
  const WORD flags = static_cast<WORD>(nFlags);
  const unsigned mode = flags & DRAW_DISSOLVE_MASK;
  if (nWidth == 0 || nHeight == 0 || mode == 0x10) return;
  // Callers clip with rules of their own; a block they get wrong draws nothing rather than
  // reaching past either buffer.
  if (pDest == nullptr || nWidth < 0 || nHeight < 0) return;
  const Pixels src(*this), dest(*pDest);
  if (!src.Contains(nSrcX, nSrcY, nWidth, nHeight) || !dest.Contains(nDestX, nDestY, nWidth, nHeight)) return;

  const bool mirrorX = flags & DRAW_MIRROR_X;
  const bool mirrorY = flags & DRAW_MIRROR_Y;
  const bool keyed = crTransparent != DRAW_NO_TRANSPARENT;

  // Rows go from the source block's bottom row up; the destination row it lands on is the
  // block's bottom row, or its top row with mirror-y.
  blockcopy::BlitState state{};
  state.pSrc = src.At(mirrorX ? nSrcX + nWidth - 1 : nSrcX, nSrcY + nHeight - 1);
  state.pDest = dest.At(nDestX, mirrorY ? nDestY : nDestY + nHeight - 1);
  state.srcStep = src.stride;
  state.destStep = mirrorY ? -dest.stride : dest.stride;
  state.nWidth = nWidth;
  state.nHeight = nHeight;
  state.key = static_cast<BYTE>(crTransparent);
  blockcopy::ActiveTable().fn[keyed][mirrorX][blockcopy::PatternSlot(mode)](state);
}
