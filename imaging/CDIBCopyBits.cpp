#include "BlockCopy.h"
#include "CDIB.h"
#include "DIBLayout.h"

#include <cstdint>

namespace {

// Whether the block [x, x + w) × [y, y + h) lies inside the bitmap; 64-bit, so no sum wraps.
bool Contains(const CDIB& dib, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) {
  return dib.m_pBits != nullptr && x >= 0 && y >= 0 && x + w <= dib.GetWidth() && y + h <= dib.GetHeight();
}

}  // namespace

void CDIB::CopyBits(CDIB* pDest, int nDestX, int nDestY, int nWidth, int nHeight, int nSrcX, int nSrcY,
                    COLORREF crTransparent, UINT nFlags) {
  const WORD flags = static_cast<WORD>(nFlags);
  const unsigned mode = flags & DRAW_DISSOLVE_MASK;
  if (nWidth == 0 || nHeight == 0 || mode == 0x10) return;
  // Callers clip with rules of their own; a block they get wrong draws nothing rather than
  // reaching past either buffer.
  if (pDest == nullptr || nWidth < 0 || nHeight < 0 || !Contains(*this, nSrcX, nSrcY, nWidth, nHeight) ||
      !Contains(*pDest, nDestX, nDestY, nWidth, nHeight))
    return;

  const bool mirrorX = flags & DRAW_MIRROR_X;
  const bool mirrorY = flags & DRAW_MIRROR_Y;
  const bool keyed = crTransparent != DRAW_NO_TRANSPARENT;
  const std::ptrdiff_t srcStride = static_cast<std::ptrdiff_t>(dib::Stride(GetWidth()));
  const std::ptrdiff_t destStride = static_cast<std::ptrdiff_t>(dib::Stride(pDest->GetWidth()));

  // Rows go from the source block's bottom row up; the destination row it lands on is the
  // block's bottom row, or its top row with mirror-y.
  blockcopy::BlitState state{};
  state.pSrc = GetPixelAddress(mirrorX ? nSrcX + nWidth - 1 : nSrcX, nSrcY + nHeight - 1);
  state.pDest = pDest->GetPixelAddress(nDestX, mirrorY ? nDestY : nDestY + nHeight - 1);
  state.srcStep = srcStride;
  state.destStep = mirrorY ? -destStride : destStride;
  state.nWidth = nWidth;
  state.nHeight = nHeight;
  state.key = static_cast<BYTE>(crTransparent);
  blockcopy::ActiveTable().fn[keyed][mirrorX][blockcopy::PatternSlot(mode)](state);
}
