// The scheduler of a scene's animations: it steps each animated phased sprite when its due time
// comes and tells the window how long it may wait for the next one.
//
// Tick counts wrap to 0 every 49.7 days; times are compared by their difference, so a sprite due
// just after the wrap is due then and not 49 days later.
#pragma once

#include "CPhasedSprite.h"
#include "CScene.h"

class CSceneAnimator {
 public:
  // GetDelay's answer when no sprite animates.
  static constexpr DWORD kNothingDue = 0xFFFFFFFF;
  // The longest period whose longest wait still compares as a tick difference.
  static constexpr LONG kMaxPeriod = 0x7FFFFFFF / CPhasedSprite::kLongestDelayPeriods;

  explicit CSceneAnimator(const CScene& scene) : m_scene(scene) {}

  // Every animated sprite's first step becomes due at dwNow.
  void Start(DWORD dwNow);
  // One step of each animated sprite that is due at dwNow; how many were taken.
  int Animate(DWORD dwNow);
  // Milliseconds from dwNow to the next step, 0 when one is due, kNothingDue when none animates.
  DWORD GetDelay(DWORD dwNow) const;

  static BOOL IsDue(DWORD dwNow, DWORD dwDue) { return static_cast<LONG>(dwNow - dwDue) >= 0; }
  // The sprite as a phased one, when its mode is one that Animate steps; null otherwise: a
  // sprite whose Animate does nothing never sets its next time and would always be due.
  static CPhasedSprite* Animated(CSprite* pSprite);

 private:
  const CScene& m_scene;
};
